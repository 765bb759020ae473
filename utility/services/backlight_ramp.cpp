// The ramp's counter and its steps: the levels written at each tick until the ramp ends.
#include "services/backlight_ramp.h"

#include "services/device_controls.h"
#include "services/power_source.h"
#include "services/saved_settings.h"

LONG g_rampCounter = kRampIdle;

namespace {

// The levels of one writing tick, by the source read now; the other level goes back to the
// user's on every tick.
void WriteRampLevels(LONG level)
{
    switch (LoadShared(&g_powerSource)) {
    case POWER_SOURCE_BATTERY:
        if (level <= g_savedBatteryBacklightLevel)
            WriteBacklightLevel(kBatteryBacklightLevel, level);
        WriteBacklightLevel(kAcBacklightLevel, g_savedAcBacklightLevel);
        break;
    case POWER_SOURCE_AC:
        WriteBacklightLevel(kAcBacklightLevel, level);
        WriteBacklightLevel(kBatteryBacklightLevel, g_savedBatteryBacklightLevel);
        break;
    case POWER_SOURCE_DISMISSED:
        if (level <= g_savedAcBacklightLevel)
            WriteBacklightLevel(kAcBacklightLevel, level);
        WriteBacklightLevel(kBatteryBacklightLevel, g_savedBatteryBacklightLevel);
        break;
    default:
        break;
    }
}

}  // namespace

void StartBacklightRamp()
{
    g_rampCounter = kRampStart;
}

bool BacklightRampTick()
{
    const LONG counter = g_rampCounter;
    if (counter <= kRampIdle)
        return false;
    if (counter >= -10 && counter <= 0) {
        WriteRampLevels(-counter);
        RequestBacklightPower(D0);
    }
    g_rampCounter = counter - 1;
    return g_rampCounter == kRampIdle;
}
