// State that the charging screen shares with the power monitor thread. The words that both
// threads write or that one reads while the other writes are LONGs, read and written only
// through the platform's interlocked calls (each a full barrier), so that what a thread stores
// before it posts or signals is what the woken thread reads.
#ifndef VELORIN_SERVICES_POWER_SOURCE_H
#define VELORIN_SERVICES_POWER_SOURCE_H

#include <windows.h>

// The current power source: battery, AC, dismissed by the user, or not yet known.
const BYTE POWER_SOURCE_BATTERY = 0;
const BYTE POWER_SOURCE_AC = 1;
const BYTE POWER_SOURCE_DISMISSED = 3;
const BYTE POWER_SOURCE_UNKNOWN = 255;

// The source, one of the values above, in a word of its own: the interlocked calls work on
// aligned 32-bit words, and Dismiss swaps it against the monitor's stores.
extern LONG g_powerSource;
// The source that the monitor last reported to the sequencer; written by the monitor only.
extern LONG g_lastReportedSource;

// Set by the window to stop the monitor: the flag first, then the event.
extern LONG g_stopMonitor;
// Made by the window before the monitor starts; never closed.
extern HANDLE g_stopEvent;
// The monitor's notification queue while it has one; the monitor's own.
extern HANDLE g_powerQueue;

typedef DWORD(WINAPI* PFN_GetSystemPowerStatusEx2)(PSYSTEM_POWER_STATUS_EX2, DWORD, BOOL);
// Looked up by the window before the monitor starts; null when the lookup failed.
extern PFN_GetSystemPowerStatusEx2 g_pfnGetSystemPowerStatusEx2;

// A shared word as the other thread left it.
inline LONG LoadShared(LONG* word)
{
    return InterlockedCompareExchange(word, 0, 0);
}
inline void StoreShared(LONG* word, LONG value)
{
    InterlockedExchange(word, value);
}

// The monitor's stop, as the window's Cancel makes it. With no event yet there is nothing to set.
void RequestMonitorStop();

#endif
