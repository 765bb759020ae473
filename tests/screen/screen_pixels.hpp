// Expected pictures laid together from the utility's own bitmaps, and where the screen differs
// from them.
#pragma once

#include "tests/support/utility_test_support.hpp"

#include <cstdio>
#include <initializer_list>
#include <string>

namespace velorin::test {

// The pixels of one of the utility's bitmaps.
inline gdi::Surface bitmapPixels(Harness& harness, const CBitmap& bitmap)
{
    std::lock_guard lock(harness.device().kernel().mutex());
    const gdi::Surface* pixels = harness.device().gdi().bitmapPixelsLocked(bitmap.GetSafeHandle());
    return pixels ? *pixels : gdi::Surface();
}

// Lays the cell `from` of `picture` on `canvas` at `at`; keyed, its black pixels are left out.
inline void lay(gdi::Surface& canvas, POINT at, const gdi::Surface& picture, RECT from, bool keyed)
{
    for (LONG y = from.top; y < from.bottom; ++y) {
        for (LONG x = from.left; x < from.right; ++x) {
            const gdi::Rgb colour = picture.pixel(x, y);
            if (!keyed || colour != 0)
                canvas.setPixel(at.x + x - from.left, at.y + y - from.top, colour);
        }
    }
}

// The first pixel where the screen at `at` differs from `expected`, or "" when none does.
inline std::string difference(const gdi::Surface& screen, POINT at, const gdi::Surface& expected)
{
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const gdi::Rgb seen = screen.pixel(at.x + x, at.y + y);
            if (seen != expected.pixel(x, y)) {
                char colours[48];
                std::snprintf(colours, sizeof colours, "%06X, expected %06X", seen, expected.pixel(x, y));
                return "at (" + std::to_string(at.x + x) + ", " + std::to_string(at.y + y) + "): " + colours;
            }
        }
    }
    return "";
}

// Where each digit's 19-pixel cell starts in the digit strip; the percent sign is at 190.
inline constexpr LONG kDigitLeft[10] = {0, 19, 38, 57, 76, 95, 114, 133, 152, 171};

// The percentage area, 104 x 30, as the digits of `glyphs` (-1 for the percent sign) leave it,
// the first at `x0` within the area.
inline gdi::Surface percentArea(const gdi::Surface& digits, int x0, std::initializer_list<int> glyphs)
{
    gdi::Surface area(104, 30);
    int x = x0;
    for (const int glyph : glyphs) {
        const RECT cell = glyph < 0 ? RECT{190, 0, 212, 30} : RECT{kDigitLeft[glyph], 0, kDigitLeft[glyph] + 19, 30};
        lay(area, POINT{x, 0}, digits, cell, true);
        x += cell.right - cell.left;
    }
    return area;
}

}  // namespace velorin::test
