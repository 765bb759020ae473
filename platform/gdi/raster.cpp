#include "gdi/raster.hpp"

#include <algorithm>

namespace velorin::gdi {

RECT intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

RECT offsetBy(RECT r, POINT by)
{
    return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

RECT boundsOf(const Surface& surface)
{
    return RECT{0, 0, surface.width(), surface.height()};
}

RECT normalised(RECT r)
{
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

void fillArea(Surface& surface, const RECT& clip, const RECT& area, Rgb colour)
{
    const RECT r = intersect(area, clip);
    if (!isEmpty(r))
        surface.fill(r.left, r.top, r.right, r.bottom, colour);
}

void blit(Surface& dst, const RECT& dstClip, const RECT& to, const Surface& src, const RECT& srcClip, const RECT& from,
          std::optional<Rgb> key)
{
    const RECT area = intersect(intersect(to, dstClip), boundsOf(dst));
    if (isEmpty(area) || isEmpty(to) || isEmpty(from))
        return;
    // A copy within one surface reads the picture as it was before the copy.
    const Surface snapshot = &src == &dst ? src : Surface();
    const Surface& source = &src == &dst ? snapshot : src;
    const RECT readable = intersect(srcClip, boundsOf(source));
    const long long toW = to.right - to.left, toH = to.bottom - to.top;
    const long long fromW = from.right - from.left, fromH = from.bottom - from.top;
    for (LONG y = area.top; y < area.bottom; ++y) {
        // The source pixel under the centre of the destination pixel.
        const auto sy = static_cast<LONG>(from.top + ((2LL * (y - to.top) + 1) * fromH) / (2 * toH));
        if (sy < readable.top || sy >= readable.bottom)
            continue;
        for (LONG x = area.left; x < area.right; ++x) {
            const auto sx = static_cast<LONG>(from.left + ((2LL * (x - to.left) + 1) * fromW) / (2 * toW));
            if (sx < readable.left || sx >= readable.right)
                continue;
            const Rgb colour = source.pixel(sx, sy);
            if (key && colour == *key)
                continue;
            dst.setPixel(x, y, colour);
        }
    }
}

Rgb blend(Rgb below, Rgb over, int coverage)
{
    coverage = std::clamp(coverage, 0, 255);
    const auto channel = [&](int shift) {
        const int b = static_cast<int>((below >> shift) & 0xFF);
        const int o = static_cast<int>((over >> shift) & 0xFF);
        return static_cast<Rgb>((o * coverage + b * (255 - coverage) + 127) / 255) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

}  // namespace velorin::gdi
