/* The power manager of the device: power notifications through message queues, device power
   states and the system power state, by the names and values of the system's own pm.h. */
#ifndef VELORIN_POWER_PM_H
#define VELORIN_POWER_PM_H

#include "kernel/windef.h"

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

/* System power states (StateFlags) and the part of a flags word that names one. */
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
#define POWER_STATE(f) ((f) & 0xFFFF0000U)

/* Flags of DevicePowerNotify and options of SetSystemPowerState. */
#define POWER_NAME 0x00000001U
#define POWER_DUMPDW 0x00000002U
#define POWER_FORCE 0x00001000U

#ifdef __cplusplus
extern "C" {
#endif

/* Subscribes the queue (a handle of either end, made with CreateMsgQueue) to the notification
   types in Flags. With PBT_POWERINFOCHANGE, one message with the current power information is
   written at once, and one more at every report of the battery driver. A message that the queue
   cannot take (full, no reader left, longer than its cbMaxMessage) is dropped for that queue.
   Returns the subscription, which StopPowerNotifications (or the end of the process) ends; NULL
   for a handle that is not a queue (ERROR_INVALID_HANDLE) or no type (ERROR_INVALID_PARAMETER). */
HANDLE RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags);
BOOL StopPowerNotifications(HANDLE h);

/* Asks for a device's power state. With POWER_NAME pvDevice is its name; the device has one
   power-managed device, the backlight "BKL1:". ERROR_SUCCESS, or ERROR_FILE_NOT_FOUND for a
   device it does not have, ERROR_INVALID_PARAMETER for a state that is not D0 to D4 or a
   missing name. */
DWORD DevicePowerNotify(PVOID pvDevice, CEDEVICE_POWER_STATE DeviceState, DWORD Flags);

/* Moves the system to a power state, by name ("On", "UserIdle", "Suspend"; psState may be NULL)
   or by its POWER_STATE_ flag. On also counts as activity: the idle time-outs start again.
   ERROR_SUCCESS, or ERROR_INVALID_PARAMETER for a state the device does not have. */
DWORD SetSystemPowerState(LPCWSTR psState, DWORD StateFlags, DWORD Options);

#ifdef __cplusplus
}
#endif

#endif
