// The battery status of the device: the power part of the system's winbase.h.
#pragma once

#include "kernel/windef.h"

#include <cstddef>

// Line status.
inline constexpr BYTE AC_LINE_OFFLINE = 0x00;
inline constexpr BYTE AC_LINE_ONLINE = 0x01;
inline constexpr BYTE AC_LINE_BACKUP_POWER = 0x02;
inline constexpr BYTE AC_LINE_UNKNOWN = 0xFF;

// Battery flags; a value may combine CHARGING with one level.
inline constexpr BYTE BATTERY_FLAG_HIGH = 0x01;
inline constexpr BYTE BATTERY_FLAG_LOW = 0x02;
inline constexpr BYTE BATTERY_FLAG_CRITICAL = 0x04;
inline constexpr BYTE BATTERY_FLAG_CHARGING = 0x08;
inline constexpr BYTE BATTERY_FLAG_NO_BATTERY = 0x80;
inline constexpr BYTE BATTERY_FLAG_UNKNOWN = 0xFF;

inline constexpr BYTE BATTERY_PERCENTAGE_UNKNOWN = 0xFF;
inline constexpr DWORD BATTERY_LIFE_UNKNOWN = 0xFFFFFFFF;

inline constexpr BYTE BATTERY_CHEMISTRY_ALKALINE = 0x01;
inline constexpr BYTE BATTERY_CHEMISTRY_NICD = 0x02;
inline constexpr BYTE BATTERY_CHEMISTRY_NIMH = 0x03;
inline constexpr BYTE BATTERY_CHEMISTRY_LION = 0x04;
inline constexpr BYTE BATTERY_CHEMISTRY_LIPOLY = 0x05;
inline constexpr BYTE BATTERY_CHEMISTRY_UNKNOWN = 0xFF;

struct SYSTEM_POWER_STATUS_EX2 {
    BYTE ACLineStatus;
    BYTE BatteryFlag;
    BYTE BatteryLifePercent;
    BYTE Reserved1;
    DWORD BatteryLifeTime;
    DWORD BatteryFullLifeTime;
    BYTE Reserved2;
    BYTE BackupBatteryFlag;
    BYTE BackupBatteryLifePercent;
    BYTE Reserved3;
    DWORD BackupBatteryLifeTime;
    DWORD BackupBatteryFullLifeTime;
    DWORD BatteryVoltage;
    DWORD BatteryCurrent;
    DWORD BatteryAverageCurrent;
    DWORD BatteryAverageInterval;
    DWORD BatterymAHourConsumed;
    DWORD BatteryTemperature;
    DWORD BackupBatteryVoltage;
    BYTE BatteryChemistry;
};
using PSYSTEM_POWER_STATUS_EX2 = SYSTEM_POWER_STATUS_EX2*;
using LPSYSTEM_POWER_STATUS_EX2 = SYSTEM_POWER_STATUS_EX2*;

// The device's layout, which programs read by offset.
static_assert(sizeof(SYSTEM_POWER_STATUS_EX2) == 56);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, ACLineStatus) == 0);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryFlag) == 1);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryLifePercent) == 2);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryLifeTime) == 4);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryFullLifeTime) == 8);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryFlag) == 13);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryLifePercent) == 14);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryLifeTime) == 16);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryVoltage) == 24);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryVoltage) == 48);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryChemistry) == 52);

// Fills the first dwLen bytes of the record (at most its whole size) from the battery driver
// and returns how many; 0 for a NULL record or a dwLen of 0 (ERROR_INVALID_PARAMETER). The
// device always answers fresh, so fUpdate plays no part. Exported by "coredll.dll".
DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 pSystemPowerStatusEx2, DWORD dwLen, BOOL fUpdate);
