#include "battery.hpp"

#include "power_watcher.hpp"
#include "shared_device.hpp"

#include "platform/power/battery_flag.hpp"

#include <cstddef>
#include <cstring>
#include <string>

// The layouts that CE programs read by offset, whatever the target's pointer width.
static_assert(sizeof(SYSTEM_POWER_STATUS_EX2) == 56, "SYSTEM_POWER_STATUS_EX2 lost CE's layout");
static_assert(sizeof(POWER_BROADCAST) == 16 && offsetof(POWER_BROADCAST, SystemPowerState) == 12,
              "POWER_BROADCAST lost CE's layout");
static_assert(sizeof(POWER_BROADCAST_POWER_INFO) == 28 && offsetof(POWER_BROADCAST_POWER_INFO, bACLineStatus) == 20,
              "POWER_BROADCAST_POWER_INFO lost CE's layout");

namespace velorin::ce {

namespace {

// The levels that the flag fields tell apart: high, low and critical.
constexpr DWORD kBatteryLevels = 3;

// The device's own rule, so that both report the same flag for a reading.
BYTE batteryFlag(PowerReading reading)
{
    return power::batteryFlagFor(reading.acLineStatus, reading.percent);
}

// Called with the device locked, so that the trace has reports in the order they were made.
void traceReading(PowerReading reading)
{
    traceEffect("power.info", "ac=" + std::to_string(reading.acLineStatus) +
                                  " percent=" + std::to_string(reading.percent));
}

}  // namespace

PowerReading currentReading()
{
    DeviceLock state;
    return PowerReading{state->acLineStatus, state->batteryPercent};
}

SYSTEM_POWER_STATUS_EX2 powerStatus(PowerReading reading)
{
    SYSTEM_POWER_STATUS_EX2 status;
    std::memset(&status, 0, sizeof status);  // what the driver does not measure reads as 0
    status.ACLineStatus = reading.acLineStatus;
    status.BatteryFlag = batteryFlag(reading);
    status.BatteryLifePercent = reading.percent;
    status.BatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BackupBatteryFlag = BATTERY_FLAG_UNKNOWN;
    status.BackupBatteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
    status.BackupBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BackupBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BatteryChemistry = BATTERY_CHEMISTRY_UNKNOWN;
    return status;
}

PowerInfoMessage powerInfoMessage(PowerReading reading)
{
    POWER_BROADCAST_POWER_INFO info;
    std::memset(&info, 0, sizeof info);
    info.dwNumLevels = kBatteryLevels;
    info.dwBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    info.dwBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    info.dwBackupBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    info.dwBackupBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    info.bACLineStatus = reading.acLineStatus;
    info.bBatteryFlag = batteryFlag(reading);
    info.bBatteryLifePercent = reading.percent;
    info.bBackupBatteryFlag = BATTERY_FLAG_UNKNOWN;
    info.bBackupBatteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;

    PowerInfoMessage bytes{};
    const DWORD header[] = {PBT_POWERINFOCHANGE, 0, static_cast<DWORD>(sizeof info)};
    std::memcpy(bytes.data(), header, sizeof header);
    std::memcpy(bytes.data() + offsetof(POWER_BROADCAST, SystemPowerState), &info, sizeof info);
    return bytes;
}

void reportPower(std::optional<BYTE> acLineStatus, std::optional<BYTE> percent)
{
    PowerReading reading;
    {
        DeviceLock state;
        state->acLineStatus = acLineStatus.value_or(state->acLineStatus);
        state->batteryPercent = percent.value_or(state->batteryPercent);
        reading = PowerReading{state->acLineStatus, state->batteryPercent};
        traceReading(reading);
    }
    announceReport(reading);
}

void reportMachinePower(PowerReading machine)
{
    {
        DeviceLock state;
        if (state->scenarioDriven || PowerReading{state->acLineStatus, state->batteryPercent} == machine)
            return;
        state->acLineStatus = machine.acLineStatus;
        state->batteryPercent = machine.percent;
        traceReading(machine);
    }
    announceReport(machine);
}

PowerReading machineReading()
{
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status))
        return PowerReading{};
    return PowerReading{status.ACLineStatus, status.BatteryLifePercent};
}

}  // namespace velorin::ce

using namespace velorin::ce;

DWORD WINAPI GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 pSystemPowerStatusEx2, DWORD dwLen, BOOL)
{
    if (!pSystemPowerStatusEx2 || dwLen == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // The shared reading is always fresh: the scenario's, or the machine's as last watched.
    const SYSTEM_POWER_STATUS_EX2 status = powerStatus(currentReading());
    const DWORD length = dwLen < sizeof status ? dwLen : static_cast<DWORD>(sizeof status);
    std::memcpy(pSystemPowerStatusEx2, &status, length);
    return length;
}
