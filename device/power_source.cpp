#include "device/power_source.h"

std::atomic<BYTE> g_powerSource{POWER_SOURCE_UNKNOWN};
std::atomic<LONG> g_stopMonitor{0};
std::atomic<HANDLE> g_stopEvent{nullptr};

void RequestMonitorStop()
{
    g_stopMonitor.store(1, std::memory_order_release);
    if (HANDLE stop = g_stopEvent.load(std::memory_order_acquire))
        EventModify(stop, EVENT_SET);
}

void ResetPowerSourceState()
{
    g_powerSource.store(POWER_SOURCE_UNKNOWN);
    g_stopMonitor.store(0);
    g_stopEvent.store(nullptr);
}
