// What the backlight does to the picture the user sees.
#pragma once

#include "gdi/surface.hpp"

namespace velorin::power {

inline constexpr int kMaxBacklightLevel = 10;

// The backlight as the user sees it: off, or on at a level from 0 to 10.
struct Backlight {
    bool on = true;
    int level = kMaxBacklightLevel;
    bool operator==(const Backlight&) const = default;
};

// The share of full brightness, in percent: 0 while off; 10 % at level 0 rising by 9 % a level
// to 100 % at level 10. A lit panel at its lowest level is dim but still readable, so level 0
// is not the same picture as off.
int brightnessPercent(Backlight backlight);

// The screen as the user sees it: each colour channel scaled by the brightness, black while
// the backlight is off. At full brightness the picture is unchanged.
gdi::Surface asSeen(gdi::Surface screen, Backlight backlight);

}  // namespace velorin::power
