// BitBlt's general case and StretchBlt: raster operations over pattern, source and destination,
// stretching, shrinking and mirroring, and colours between monochrome and colour bitmaps.
#include "gdi/gdi.hpp"

#include "gdi/pixel_format.hpp"
#include "gdi/raster.hpp"
#include "gdi/raster_op.hpp"
#include "kernel/kernel.hpp"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace velorin::gdi {

namespace {

// The first pixel and the count that an extent covers: a negative size runs back from its
// corner, the corner's own pixel included.
struct Run {
    LONG first = 0;
    LONG count = 0;
};
Run runOf(LONG at, LONG size)
{
    return size >= 0 ? Run{at, size} : Run{at + size + 1, -size};
}

}  // namespace

bool Gdi::stretchBltLocked(HDC dst, BlitExtent to, HDC src, BlitExtent from, DWORD rop)
{
    m_kernel.mutex().assertHeld();
    return rasterLocked(dst, to, src, from, rop);
}

int Gdi::setStretchBltModeLocked(HDC handle, int mode)
{
    m_kernel.mutex().assertHeld();
    DeviceContext* dc = dcLocked(handle);
    if (!dc) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (mode < BLACKONWHITE || mode > HALFTONE) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(dc->stretchMode, mode);
}

int Gdi::stretchBltModeLocked(HDC handle) const
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    if (!dc) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return dc->stretchMode;
}

bool Gdi::rasterLocked(HDC dstHandle, BlitExtent to, HDC srcHandle, BlitExtent from, DWORD rop)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dst = dcLocked(dstHandle);
    auto target = dst ? targetLocked(*dst) : std::nullopt;
    if (!target) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    const unsigned table = ropTable(rop);
    const bool usesSource = ropUsesSource(table);
    const DeviceContext* src = usesSource ? dcLocked(srcHandle) : nullptr;
    auto source = src ? targetLocked(*src) : std::nullopt;
    if (usesSource && !source) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (to.size.cx == 0 || to.size.cy == 0 || (usesSource && (from.size.cx == 0 || from.size.cy == 0)))
        return true;
    // The hollow brush paints nothing, whatever else the operation takes.
    const BrushObject* brush = ropUsesPattern(table) ? brushLocked(dst->brush) : nullptr;
    if (ropUsesPattern(table) && (!brush || !brushPixel(*dst, *target, *brush, POINT{0, 0})))
        return true;

    const Run dx = runOf(to.at.x + target->origin.x, to.size.cx);
    const Run dy = runOf(to.at.y + target->origin.y, to.size.cy);
    const RECT area = intersect(intersect(RECT{dx.first, dy.first, dx.first + dx.count, dy.first + dy.count},
                                          target->clip),
                                boundsOf(*target->surface));
    if (isEmpty(area))
        return true;
    const int dstDepth = target->bitsPerPixel;
    const auto inFormat = [dstDepth](Rgb colour) { return nearestColour(dstDepth, colour); };

    // The source, resampled to the destination's size, mirrored where the signs differ.
    Run sx{}, sy{};
    std::vector<SourceSpan> columns, rows;
    bool mirrorX = false, mirrorY = false;
    Surface snapshot;
    const Surface* pixels = nullptr;
    RECT readable{};
    int srcDepth = 24;
    Rgb srcBack = 0;
    if (usesSource) {
        sx = runOf(from.at.x + source->origin.x, from.size.cx);
        sy = runOf(from.at.y + source->origin.y, from.size.cy);
        mirrorX = (to.size.cx < 0) != (from.size.cx < 0);
        mirrorY = (to.size.cy < 0) != (from.size.cy < 0);
        columns = stretchMap(sx.count, dx.count, mirrorX);
        rows = stretchMap(sy.count, dy.count, mirrorY);
        // A copy within one picture reads it as it was before the copy.
        if (source->surface == target->surface)
            snapshot = *source->surface;
        pixels = source->surface == target->surface ? &snapshot : source->surface;
        readable = intersect(source->clip, boundsOf(*pixels));
        srcDepth = source->bitsPerPixel;
        srcBack = nearestColour(srcDepth, src->backColour);
    }
    // What a shrink does with the pixels it drops: kept out, or kept in by AND or OR.
    const int mode = dst->stretchMode;
    const auto merge = [mode](Rgb kept, Rgb dropped) {
        return mode == BLACKONWHITE ? kept & dropped : mode == WHITEONBLACK ? kept | dropped : kept;
    };
    const auto sourceAt = [&](LONG x, LONG y) -> std::optional<Rgb> {
        const LONG i = x - dx.first, j = y - dy.first;
        const SourceSpan& across = columns[static_cast<std::size_t>(mirrorX ? dx.count - 1 - i : i)];
        const SourceSpan& down = rows[static_cast<std::size_t>(mirrorY ? dy.count - 1 - j : j)];
        const bool merging = mode == BLACKONWHITE || mode == WHITEONBLACK;
        std::optional<Rgb> colour;
        for (LONG v = merging ? down.first : down.kept; v <= down.kept; ++v)
            for (LONG u = merging ? across.first : across.kept; u <= across.kept; ++u) {
                const LONG px = sx.first + u, py = sy.first + v;
                if (px < readable.left || px >= readable.right || py < readable.top || py >= readable.bottom)
                    continue;
                const Rgb p = pixels->pixel(px, py);
                colour = colour ? merge(*colour, p) : p;
            }
        if (!colour)
            return std::nullopt;
        // Between monochrome and colour, the DCs' text and background colours stand in.
        if (srcDepth == 1 && dstDepth != 1)
            return inFormat(*colour == 0 ? dst->textColour : dst->backColour);
        if (dstDepth == 1 && srcDepth != 1)
            return *colour == srcBack ? rgb(255, 255, 255) : rgb(0, 0, 0);
        return inFormat(*colour);
    };

    Surface& out = *target->surface;
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) {
            Rgb s = 0;
            if (usesSource) {
                const auto colour = sourceAt(x, y);
                if (!colour)
                    continue;
                s = *colour;
            }
            Rgb p = 0;
            if (brush)
                p = inFormat(*brushPixel(*dst, *target, *brush, POINT{x, y}));
            out.setPixel(x, y, applyRop(table, p, s, out.pixel(x, y)));
        }
    return true;
}

}  // namespace velorin::gdi
