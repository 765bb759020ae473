// Pixel work on surfaces, with the clipping that every drawing call shares. Rectangles are
// half-open: [left, right) x [top, bottom), in the surface's own pixels.
#pragma once

#include "gdi/surface.hpp"
#include "kernel/windef.h"

#include <algorithm>
#include <optional>

namespace velorin::gdi {

constexpr Rgb fromColorRef(COLORREF c)
{
    return rgb(GetRValue(c), GetGValue(c), GetBValue(c));
}
constexpr COLORREF toColorRef(Rgb c)
{
    return RGB(static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c));
}

constexpr bool isEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}
// Inline: every drawing call clips through these several times.
constexpr RECT intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}
constexpr RECT offsetBy(RECT r, POINT by)
{
    return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}
inline RECT boundsOf(const Surface& surface)
{
    return RECT{0, 0, surface.width(), surface.height()};
}
// Left above right and top above bottom, as the drawing calls take them either way round.
RECT normalised(RECT r);

// Fills `area` within `clip`.
void fillArea(Surface& surface, const RECT& clip, const RECT& area, Rgb colour);

// Copies the source pixels `from` to the destination area `to`, where both are inside their
// clips; sizes that differ stretch by the nearest pixel. Source pixels of colour `key` leave
// the destination as it was. The source may be the destination itself.
void blit(Surface& dst, const RECT& dstClip, const RECT& to, const Surface& src, const RECT& srcClip, const RECT& from,
          std::optional<Rgb> key);

// `over` laid on `below` with coverage 0 (nothing) to 255 (all).
Rgb blend(Rgb below, Rgb over, int coverage);

}  // namespace velorin::gdi
