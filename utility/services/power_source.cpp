// The words that the charging screen and the power monitor thread share.
#include "services/power_source.h"

LONG g_powerSource = POWER_SOURCE_UNKNOWN;
LONG g_lastReportedSource = POWER_SOURCE_UNKNOWN;
LONG g_stopMonitor = 0;
HANDLE g_stopEvent = NULL;
HANDLE g_powerQueue = NULL;
PFN_GetSystemPowerStatusEx2 g_pfnGetSystemPowerStatusEx2 = NULL;

void RequestMonitorStop()
{
    // The woken monitor must find the flag.
    StoreShared(&g_stopMonitor, 1);
    if (g_stopEvent != NULL)
        EventModify(g_stopEvent, EVENT_SET);
}
