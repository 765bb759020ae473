// State that the charging screen shares with the power monitor thread.
#pragma once

#include <windows.h>

#include <atomic>

// The current power source: battery, AC, dismissed by the user, or not yet known.
inline constexpr BYTE POWER_SOURCE_BATTERY = 0;
inline constexpr BYTE POWER_SOURCE_AC = 1;
inline constexpr BYTE POWER_SOURCE_DISMISSED = 3;
inline constexpr BYTE POWER_SOURCE_UNKNOWN = 255;

extern std::atomic<BYTE> g_powerSource;

// Set by the window to stop the monitor: the flag first, then the event.
extern std::atomic<LONG> g_stopMonitor;
extern std::atomic<HANDLE> g_stopEvent;

// The monitor's stop, as the window's Cancel makes it. With no event yet there is nothing to set.
void RequestMonitorStop();

void ResetPowerSourceState();
