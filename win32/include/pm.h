/* Windows CE's power manager on desktop Win32, from the CE layer (coredll.dll): power
   notifications through message queues, device power states and CE's system power state. */
#ifndef VELORIN_WIN32_PM_H
#define VELORIN_WIN32_PM_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define PBT_TRANSITION 0x00000001
#define PBT_RESUME 0x00000002
#define PBT_POWERSTATUSCHANGE 0x00000004
#define PBT_POWERINFOCHANGE 0x00000008
#define POWER_NOTIFY_ALL 0xFFFFFFFF

typedef struct _POWER_BROADCAST {
    DWORD Message;
    DWORD Flags;
    DWORD Length;
    WCHAR SystemPowerState[1];
} POWER_BROADCAST, *PPOWER_BROADCAST;

typedef struct _POWER_BROADCAST_POWER_INFO {
    DWORD dwNumLevels;
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

typedef enum _CEDEVICE_POWER_STATE {
    PwrDeviceUnspecified = -1,
    D0 = 0,
    D1,
    D2,
    D3,
    D4,
    PwrDeviceMaximum
} CEDEVICE_POWER_STATE, *PCEDEVICE_POWER_STATE;

#define POWER_STATE_ON 0x00010000
#define POWER_STATE_OFF 0x00020000
#define POWER_STATE_CRITICAL 0x00040000
#define POWER_STATE_BOOT 0x00080000
#define POWER_STATE_IDLE 0x00100000
#define POWER_STATE_SUSPEND 0x00200000
#define POWER_STATE_UNATTENDED 0x00400000
#define POWER_STATE_RESET 0x00800000
#define POWER_STATE_USERIDLE 0x01000000
#define POWER_STATE_PASSWORD 0x10000000

#define POWER_NAME 0x00000001
#define POWER_DUMPDW 0x00000002
#define POWER_FORCE 0x00001000

CE_LAYER_API HANDLE WINAPI RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags);
CE_LAYER_API BOOL WINAPI StopPowerNotifications(HANDLE h);
CE_LAYER_API DWORD WINAPI DevicePowerNotify(PVOID pvDevice, CEDEVICE_POWER_STATE DeviceState, DWORD Flags);
/* CE's, by state name or flag; desktop Windows has another call of this name (suspend or
   hibernate), which this one replaces for programs that include pm.h. */
CE_LAYER_API DWORD WINAPI CeSetSystemPowerState(LPCWSTR psState, DWORD StateFlags, DWORD Options);

#ifdef __cplusplus
}
#endif

#undef SetSystemPowerState
#define SetSystemPowerState CeSetSystemPowerState

#endif
