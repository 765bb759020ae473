// The backlight's level as a brightness, and the screen's pixels scaled by it.
#include "power/brightness.hpp"

#include <algorithm>

namespace velorin::power {

int brightnessPercent(Backlight backlight)
{
    if (!backlight.on)
        return 0;
    return 10 + 9 * std::clamp(backlight.level, 0, kMaxBacklightLevel);
}

gdi::Surface asSeen(gdi::Surface screen, Backlight backlight)
{
    const auto percent = static_cast<gdi::Rgb>(brightnessPercent(backlight));
    if (percent == 100)
        return screen;
    const auto scale = [percent](gdi::Rgb channel) { return (channel * percent + 50) / 100; };
    for (gdi::Rgb& pixel : screen.pixels())
        pixel = (scale((pixel >> 16) & 0xFF) << 16) | (scale((pixel >> 8) & 0xFF) << 8) | scale(pixel & 0xFF);
    return screen;
}

}  // namespace velorin::power
