/* Windows CE's power manager on desktop Win32, from the CE layer (coredll.dll): power
   notifications through message queues, device power states and CE's system power state. */
#ifndef VELORIN_WIN32_PM_H
#define VELORIN_WIN32_PM_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The records and codes, the device's own declarations. */
#include "../../platform/power/pm_records.h"

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
