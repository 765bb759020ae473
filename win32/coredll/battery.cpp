// The shared reading changed by a scenario's report or the machine's charger, traced under the
// device lock and announced to every process; and GetSystemPowerStatusEx2 from it.
#include "battery.hpp"

#include "power_watcher.hpp"
#include "shared_device.hpp"

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
    return power::powerStatusFor(reading.acLineStatus, reading.percent);
}

PowerInfoMessage powerInfoMessage(PowerReading reading)
{
    return power::powerInfoMessage(power::powerInfoFor(reading.acLineStatus, reading.percent));
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
