/* The power manager's records and codes (CE's pm.h less its calls), written once for the device's
   pm.h and the CE layer's: the includer declares BYTE, DWORD and WCHAR first. */
#ifndef VELORIN_POWER_PM_RECORDS_H
#define VELORIN_POWER_PM_RECORDS_H

/* Notification types, one bit each; RequestPowerNotifications takes any of them OR-ed together. */
#define PBT_TRANSITION 0x00000001U
#define PBT_RESUME 0x00000002U
#define PBT_POWERSTATUSCHANGE 0x00000004U
#define PBT_POWERINFOCHANGE 0x00000008U
#define POWER_NOTIFY_ALL 0xFFFFFFFFU

/* One notification as it arrives in a queue: a variable-length record whose data start at
   SystemPowerState. A PBT_POWERINFOCHANGE message carries a POWER_BROADCAST_POWER_INFO there. */
typedef struct _POWER_BROADCAST {
    DWORD Message;  /* a PBT_ type */
    DWORD Flags;
    DWORD Length;  /* bytes of data from SystemPowerState on */
    WCHAR SystemPowerState[1];
} POWER_BROADCAST, *PPOWER_BROADCAST;

typedef struct _POWER_BROADCAST_POWER_INFO {
    DWORD dwNumLevels;  /* battery levels the flag fields tell apart */
    DWORD dwBatteryLifeTime;
    DWORD dwBatteryFullLifeTime;
    DWORD dwBackupBatteryLifeTime;
    DWORD dwBackupBatteryFullLifeTime;
    BYTE bACLineStatus;
    BYTE bBatteryFlag;
    BYTE bBatteryLifePercent;
    BYTE bBackupBatteryFlag;
    BYTE bBackupBatteryLifePercent;
} POWER_BROADCAST_POWER_INFO, *PPOWER_BROADCAST_POWER_INFO;

/* Device power states: D0 full power to D4 off. */
typedef enum _CEDEVICE_POWER_STATE { PwrDeviceUnspecified = -1, D0 = 0, D1, D2, D3, D4, PwrDeviceMaximum } CEDEVICE_POWER_STATE, *PCEDEVICE_POWER_STATE;

/* System power states (StateFlags). */
#define POWER_STATE_ON 0x00010000U
#define POWER_STATE_OFF 0x00020000U
#define POWER_STATE_CRITICAL 0x00040000U
#define POWER_STATE_BOOT 0x00080000U
#define POWER_STATE_IDLE 0x00100000U
#define POWER_STATE_SUSPEND 0x00200000U
#define POWER_STATE_UNATTENDED 0x00400000U
#define POWER_STATE_RESET 0x00800000U
#define POWER_STATE_USERIDLE 0x01000000U
#define POWER_STATE_PASSWORD 0x10000000U

/* Flags of DevicePowerNotify and options of SetSystemPowerState. */
#define POWER_NAME 0x00000001U
#define POWER_DUMPDW 0x00000002U
#define POWER_FORCE 0x00001000U

#endif
