// Ternary raster operations and the pixel maps of a stretch, as BitBlt and StretchBlt apply them.
#pragma once

#include "gdi/surface.hpp"
#include "kernel/windef.h"

#include <vector>

namespace velorin::gdi {

// The operation's truth table: bit (pattern << 2 | source << 1 | destination) of it is the result.
constexpr unsigned ropTable(DWORD rop)
{
    return (rop >> 16) & 0xFFU;
}
constexpr bool ropUsesSource(unsigned table)
{
    return (((table >> 2) ^ table) & 0x33U) != 0;
}
constexpr bool ropUsesPattern(unsigned table)
{
    return (((table >> 4) ^ table) & 0x0FU) != 0;
}
// The operation applied to every bit of the three colours.
constexpr Rgb applyRop(unsigned table, Rgb pattern, Rgb source, Rgb destination)
{
    Rgb result = 0;
    for (unsigned index = 0; index < 8; ++index) {
        if (!((table >> index) & 1U))
            continue;
        const Rgb p = (index & 4U) ? pattern : ~pattern;
        const Rgb s = (index & 2U) ? source : ~source;
        const Rgb d = (index & 1U) ? destination : ~destination;
        result |= p & s & d;
    }
    return result & 0xFFFFFF;
}

// For each of `to` pixels in a row or column, the first and the last of the `from` pixels
// that it stands for (offsets from 0): one pixel when stretching, the pixels a shrink drops
// and the one it keeps (the last) when shrinking. `mirrored` when the copy runs the other way.
struct SourceSpan {
    LONG first = 0;
    LONG kept = 0;
};
std::vector<SourceSpan> stretchMap(LONG from, LONG to, bool mirrored);

}  // namespace velorin::gdi
