// The records that programs get of a battery reading (the status of GetSystemPowerStatusEx2 and
// the PBT_POWERINFOCHANGE message), built by the device's battery driver and by the CE layer for
// desktop Win32 alike, each from its own headers.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <pm.h>
#else
#include "power/pm.h"
#include "power/winbase_power.h"
#endif

#include "battery_flag.hpp"

#include <array>
#include <cstddef>
#include <cstring>

namespace velorin::power {

// The levels that the flag fields tell apart: high, low and critical.
inline constexpr DWORD kBatteryLevels = 3;

inline SYSTEM_POWER_STATUS_EX2 powerStatusFor(BYTE acLineStatus, BYTE percent)
{
    SYSTEM_POWER_STATUS_EX2 status;
    std::memset(&status, 0, sizeof status);  // what the driver does not measure reads as 0
    status.ACLineStatus = acLineStatus;
    status.BatteryFlag = batteryFlagFor(acLineStatus, percent);
    status.BatteryLifePercent = percent;
    status.BatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BackupBatteryFlag = BATTERY_FLAG_UNKNOWN;
    status.BackupBatteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
    status.BackupBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BackupBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BatteryChemistry = BATTERY_CHEMISTRY_UNKNOWN;
    return status;
}

// The same facts as the status, under the notification's own names and layout.
inline POWER_BROADCAST_POWER_INFO powerInfoFor(BYTE acLineStatus, BYTE percent)
{
    const SYSTEM_POWER_STATUS_EX2 status = powerStatusFor(acLineStatus, percent);
    POWER_BROADCAST_POWER_INFO info;
    std::memset(&info, 0, sizeof info);  // the padding too: messages are compared byte for byte
    info.dwNumLevels = kBatteryLevels;
    info.dwBatteryLifeTime = status.BatteryLifeTime;
    info.dwBatteryFullLifeTime = status.BatteryFullLifeTime;
    info.dwBackupBatteryLifeTime = status.BackupBatteryLifeTime;
    info.dwBackupBatteryFullLifeTime = status.BackupBatteryFullLifeTime;
    info.bACLineStatus = status.ACLineStatus;
    info.bBatteryFlag = status.BatteryFlag;
    info.bBatteryLifePercent = status.BatteryLifePercent;
    info.bBackupBatteryFlag = status.BackupBatteryFlag;
    info.bBackupBatteryLifePercent = status.BackupBatteryLifePercent;
    return info;
}

// A PBT_POWERINFOCHANGE message as queues receive it: the header, then the information where
// SystemPowerState begins, the rest zero.
using PowerInfoMessage = std::array<BYTE, sizeof(POWER_BROADCAST) + sizeof(POWER_BROADCAST_POWER_INFO)>;

inline PowerInfoMessage powerInfoMessage(const POWER_BROADCAST_POWER_INFO& info)
{
    PowerInfoMessage bytes{};
    const DWORD header[] = {PBT_POWERINFOCHANGE, 0, static_cast<DWORD>(sizeof info)};
    static_assert(sizeof header == offsetof(POWER_BROADCAST, SystemPowerState));
    std::memcpy(bytes.data(), header, sizeof header);
    std::memcpy(bytes.data() + offsetof(POWER_BROADCAST, SystemPowerState), &info, sizeof info);
    return bytes;
}

}  // namespace velorin::power
