#include "device/power_source.h"

std::atomic<BYTE> g_powerSource{POWER_SOURCE_UNKNOWN};
std::atomic<BYTE> g_lastReportedSource{POWER_SOURCE_UNKNOWN};
std::atomic<LONG> g_stopMonitor{0};
std::atomic<HANDLE> g_stopEvent{nullptr};
std::atomic<HANDLE> g_powerQueue{nullptr};
std::atomic<PFN_GetSystemPowerStatusEx2> g_pfnGetSystemPowerStatusEx2{nullptr};

void RequestMonitorStop()
{
    // The woken monitor must find the flag.
    g_stopMonitor.store(1, std::memory_order_release);
    if (HANDLE stop = g_stopEvent.load(std::memory_order_acquire))
        EventModify(stop, EVENT_SET);
}
