// Where a charging frame puts its pictures, from the screen's size and the pictures' sizes, and
// the gauge level of a percentage. Pure arithmetic, so the renderer can query the sizes anew on
// every frame and a rotation shows at the next tick.
#ifndef VELORIN_SCREEN_CHARGE_SCREEN_LAYOUT_H
#define VELORIN_SCREEN_CHARGE_SCREEN_LAYOUT_H

#include <windows.h>

struct ChargeFrameLayout {
    POINT battery;     // top-left of the battery picture
    RECT percentRect;  // where the digits go: above the battery, or left of it in landscape
    RECT symbolRect;   // the charge symbol, centred on the screen; also the tap target
    POINT gauge;       // top-left of the gauge picture
};

RECT MakeRect(LONG left, LONG top, LONG right, LONG bottom);
SIZE MakeSize(LONG cx, LONG cy);

// Divisions truncate toward zero, so a screen smaller than a picture puts it off the edge.
ChargeFrameLayout ComputeChargeFrameLayout(SIZE screen, SIZE battery, SIZE symbol, SIZE gauge);

// Gauge segments shown for a percentage: 1 for 0 to 19, then one more per ten, 10 from 100 up.
LONG LevelTenthsForPercent(BYTE percent);

#endif
