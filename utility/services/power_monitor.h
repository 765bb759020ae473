// The power monitor: the utility's one worker thread. It turns the power manager's
// notifications into the shared power source, a request to the charging screen's sequencer
// when the device moves between battery and AC, and the battery percentage in the window's
// user-data word.
#ifndef VELORIN_SERVICES_POWER_MONITOR_H
#define VELORIN_SERVICES_POWER_MONITOR_H

#include <windows.h>
#include <msgqueue.h>
#include <pm.h>

// Finds the battery-status function in the system library, before the monitor starts.
void LookUpBatteryStatusFunction();

// The thread's entry; its parameter is the charging screen's window.
DWORD WINAPI PowerMonitorThread(LPVOID param);

// Moves the shared source for one notification's line status, and posts a request to `window`
// when the source that the sequencer last heard of changes.
void UpdatePowerSource(HWND window, BYTE lineStatus);

#endif
