// The colours a bitmap of each depth can hold. Every bitmap keeps one 0x00RRGGBB word a pixel,
// so the 24-bit drawing paths serve all depths; a bitmap of fewer colours is brought back to
// the colours of its format after each drawing call, and a program reads back what the real
// format would hold.
#pragma once

#include "gdi/surface.hpp"
#include "kernel/windef.h"

#include <optional>

namespace velorin::gdi {

// The depth CreateBitmap makes for `bitsPerPixel`: the next depth the device has, or nullopt
// above 32 bits.
std::optional<int> bitmapDepth(unsigned bitsPerPixel);
// Bytes in one row of a device-dependent bitmap: rows end on a 2-byte boundary.
LONG bitmapRowBytes(int width, int bitsPerPixel);
// The colour of `bitsPerPixel`'s format nearest `colour`: two shades at 1 bit, four greys at 2,
// the 16 VGA colours at 4, the 256 of the default palette at 8, 5 bits a channel at 16.
Rgb nearestColour(int bitsPerPixel, Rgb colour);
// The whole of `pixels` in the colours of its format; nothing to do at 24 and 32 bits.
void toFormat(Surface& pixels, int bitsPerPixel);
// CreateBitmap's rows of `bitsPerPixel` (a depth bitmapDepth gives), top down, each padded to
// 2 bytes: indexes into the format's colours up to 8 bits, the leftmost pixel in the high bits;
// 5-5-5 words at 16; blue, green, red at 24, and a spare byte at 32.
Surface pixelsFromRows(int width, int height, int bitsPerPixel, const unsigned char* rows);
// True where a format holds every 24-bit colour.
constexpr bool isTrueColour(int bitsPerPixel)
{
    return bitsPerPixel >= 24;
}

}  // namespace velorin::gdi
