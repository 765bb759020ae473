// The UI font's base units, and a rectangle in dialog units converted with MulDiv's rounding.
#include "resources/dialog_units.hpp"

#include "resources/ui_font.hpp"

#include <cstdint>

namespace velorin::resources {

int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t product = std::int64_t{a} * b;
    const std::int64_t half = (c < 0 ? -std::int64_t{c} : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (c < 0 ? -std::int64_t{c} : c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

SIZE dialogBaseUnits()
{
    const UiFont& font = UiFont::system();
    return SIZE{font.averageCharWidth(), font.lineHeight()};
}

RECT dialogUnitsToPixels(const RECT& units)
{
    const SIZE base = dialogBaseUnits();
    const auto x = [&](LONG v) { return mulDiv(v, base.cx, 4); };
    const auto y = [&](LONG v) { return mulDiv(v, base.cy, 8); };
    return RECT{x(units.left), y(units.top), x(units.right), y(units.bottom)};
}

}  // namespace velorin::resources
