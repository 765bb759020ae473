/* The power manager of the device: power notifications through message queues, device power
   states and the system power state, by the names and values of the system's own pm.h. */
#ifndef VELORIN_POWER_PM_H
#define VELORIN_POWER_PM_H

#include "kernel/windef.h"

#include "power/pm_records.h"

/* The part of a flags word that names a system power state. */
#define POWER_STATE(f) ((f) & 0xFFFF0000U)

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
