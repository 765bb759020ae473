#include "app/process_globals.h"

#include "device/backlight_ramp.h"
#include "device/power_source.h"
#include "device/saved_settings.h"
#include "screen/charge_screen_dlg.h"

// Every variable of the utility that lives as long as its process, at the value a new process
// gives it.
void ResetProcessGlobals()
{
    g_savedBatteryBacklightLevel = 0;
    g_savedAcBacklightLevel = 0;
    g_savedUseDim = 0;
    g_savedAutoRotate = 0;
    g_savedAngle = 0;

    g_powerSource.store(POWER_SOURCE_UNKNOWN);
    g_lastReportedSource.store(POWER_SOURCE_UNKNOWN);
    g_stopMonitor.store(0);
    g_stopEvent.store(nullptr);
    g_powerQueue.store(nullptr);
    g_pfnGetSystemPowerStatusEx2.store(nullptr);

    g_closeRequested = 0;
    g_rampCounter = kRampIdle;
}
