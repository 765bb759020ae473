// State that the charging screen shares with the power monitor thread. Each is one atomic
// byte, word or pointer; the orders that matter are named where they are stored.
#pragma once

#include <windows.h>

#include <atomic>

// The current power source: battery, AC, dismissed by the user, or not yet known.
inline constexpr BYTE POWER_SOURCE_BATTERY = 0;
inline constexpr BYTE POWER_SOURCE_AC = 1;
inline constexpr BYTE POWER_SOURCE_DISMISSED = 3;
inline constexpr BYTE POWER_SOURCE_UNKNOWN = 255;

extern std::atomic<BYTE> g_powerSource;
// The source that the monitor last reported to the sequencer; written by the monitor only.
extern std::atomic<BYTE> g_lastReportedSource;

// Set by the window to stop the monitor: the flag first, then the event.
extern std::atomic<LONG> g_stopMonitor;
extern std::atomic<HANDLE> g_stopEvent;
// The monitor's notification queue while it has one.
extern std::atomic<HANDLE> g_powerQueue;

using PFN_GetSystemPowerStatusEx2 = DWORD(WINAPI*)(PSYSTEM_POWER_STATUS_EX2, DWORD, BOOL);
// Looked up by the window before the monitor starts; null when the lookup failed.
extern std::atomic<PFN_GetSystemPowerStatusEx2> g_pfnGetSystemPowerStatusEx2;

// The monitor's stop, as the window's Cancel makes it. With no event yet there is nothing to set.
void RequestMonitorStop();
