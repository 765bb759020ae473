/* CE's battery status record and its chemistry codes, written once for the device's winbase.h and
   the CE layer's windows.h: the includer declares BYTE and DWORD first. */
#ifndef VELORIN_POWER_POWER_STATUS_RECORD_H
#define VELORIN_POWER_POWER_STATUS_RECORD_H

#define BATTERY_CHEMISTRY_ALKALINE ((BYTE)0x01)
#define BATTERY_CHEMISTRY_NICD ((BYTE)0x02)
#define BATTERY_CHEMISTRY_NIMH ((BYTE)0x03)
#define BATTERY_CHEMISTRY_LION ((BYTE)0x04)
#define BATTERY_CHEMISTRY_LIPOLY ((BYTE)0x05)
#define BATTERY_CHEMISTRY_UNKNOWN ((BYTE)0xFF)

typedef struct _SYSTEM_POWER_STATUS_EX2 {
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
} SYSTEM_POWER_STATUS_EX2, *PSYSTEM_POWER_STATUS_EX2, *LPSYSTEM_POWER_STATUS_EX2;

#endif
