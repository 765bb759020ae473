// The layout's arithmetic: the places of the pictures and the gauge level of a percentage.
#include "screen/charge_screen_layout.h"

namespace {

// The digits are 30 pixels high; their area lies 30 pixels off the battery in landscape.
const LONG kPercentHeight = 30;
// The gauge stands this much lower than centred.
const LONG kGaugeDrop = 5;

POINT MakePoint(LONG x, LONG y)
{
    POINT point;
    point.x = x;
    point.y = y;
    return point;
}

}  // namespace

RECT MakeRect(LONG left, LONG top, LONG right, LONG bottom)
{
    RECT rect;
    rect.left = left;
    rect.top = top;
    rect.right = right;
    rect.bottom = bottom;
    return rect;
}

SIZE MakeSize(LONG cx, LONG cy)
{
    SIZE size;
    size.cx = cx;
    size.cy = cy;
    return size;
}

ChargeFrameLayout ComputeChargeFrameLayout(SIZE screen, SIZE battery, SIZE symbol, SIZE gauge)
{
    const LONG cx = screen.cx;
    const LONG cy = screen.cy;
    ChargeFrameLayout layout;
    layout.battery = MakePoint((cx - battery.cx) / 2, (cy - battery.cy) / 2);
    const LONG bx = layout.battery.x;
    const LONG by = layout.battery.y;
    // A square screen lays out as portrait.
    if (cx > cy)
        layout.percentRect = MakeRect(bx - battery.cx, by + kPercentHeight, bx, by + 2 * kPercentHeight);
    else
        layout.percentRect = MakeRect(bx, by - kPercentHeight, battery.cx + bx, by);
    const LONG sx = (cx - symbol.cx) / 2;
    const LONG sy = (cy - symbol.cy) / 2;
    layout.symbolRect = MakeRect(sx, sy, symbol.cx + sx, symbol.cy + sy);
    layout.gauge = MakePoint(gauge.cx + battery.cx / 2 + (cx - gauge.cx) / 2, (cy - gauge.cy) / 2 + kGaugeDrop);
    return layout;
}

LONG LevelTenthsForPercent(BYTE percent)
{
    const LONG p = percent;
    const LONG tenths = (p - p % 10) / 10;
    if (tenths > 10)
        return 10;
    if (tenths == 0)
        return 1;
    return tenths;
}
