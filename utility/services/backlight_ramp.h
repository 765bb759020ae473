// The backlight ramp: after each sequence the backlight comes back level by level, one tick of
// the window's 100 ms timer at a time.
#ifndef VELORIN_SERVICES_BACKLIGHT_RAMP_H
#define VELORIN_SERVICES_BACKLIGHT_RAMP_H

#include <windows.h>

// The ramp's counter: -15 or less is idle; a sequence's end sets it to kRampStart.
extern LONG g_rampCounter;

const LONG kRampStart = 10;
const LONG kRampIdle = -15;

void StartBacklightRamp();
// One tick; true on the tick that ends the ramp.
bool BacklightRampTick();

#endif
