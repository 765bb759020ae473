// The one start hook of the utility's process-wide variables.
#include "app/process_globals.h"

#include "screen/charge_screen_dlg.h"
#include "services/backlight_ramp.h"
#include "services/power_source.h"
#include "services/saved_settings.h"

// Every variable of the utility that lives as long as its process, at the value a new process
// gives it.
void ResetProcessGlobals()
{
    g_savedBatteryBacklightLevel = 0;
    g_savedAcBacklightLevel = 0;
    g_savedUseDim = 0;
    g_savedAutoRotate = 0;
    g_savedAngle = 0;

    StoreShared(&g_powerSource, POWER_SOURCE_UNKNOWN);
    StoreShared(&g_lastReportedSource, POWER_SOURCE_UNKNOWN);
    StoreShared(&g_stopMonitor, 0);
    g_stopEvent = NULL;
    g_powerQueue = NULL;
    g_pfnGetSystemPowerStatusEx2 = NULL;

    g_closeRequested = 0;
    g_rampCounter = kRampIdle;
}
