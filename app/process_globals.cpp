#include "app/process_globals.h"

#include "device/backlight_ramp.h"
#include "device/power_source.h"
#include "device/saved_settings.h"
#include "screen/charge_screen_dlg.h"

void ResetProcessGlobals()
{
    ResetSavedSettings();
    ResetPowerSourceState();
    ResetChargeScreenGlobals();
    ResetBacklightRamp();
}
