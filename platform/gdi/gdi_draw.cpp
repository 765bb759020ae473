// Drawing through device contexts: rectangles, fills, copies and single pixels.
#include "gdi/gdi.hpp"

#include "gdi/pixel_format.hpp"
#include "gdi/raster.hpp"
#include "kernel/kernel.hpp"

#include <algorithm>

namespace velorin::gdi {

namespace {

RECT rectAt(POINT at, SIZE size)
{
    return RECT{at.x, at.y, at.x + size.cx, at.y + size.cy};
}

bool inside(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

const BrushObject* Gdi::brushLocked(HGDIOBJ handle) const
{
    m_kernel.mutex().assertHeld();
    const GdiObject* object = objectLocked(handle);
    return object ? object->as<BrushObject>() : nullptr;
}

std::optional<Rgb> Gdi::brushColourLocked(const DeviceContext& dc) const
{
    m_kernel.mutex().assertHeld();
    const BrushObject* brush = brushLocked(dc.brush);
    return brush && !brush->pattern ? brush->colour : std::nullopt;
}

std::optional<Rgb> Gdi::brushPixel(const DeviceContext& dc, const Target& target, const BrushObject& brush, POINT at)
{
    if (!brush.pattern)
        return brush.colour;
    const BitmapObject& pattern = brush.pattern->bitmap;
    const auto wrap = [](LONG value, int size) { return static_cast<int>(((value % size) + size) % size); };
    const Rgb colour = pattern.pixels.pixel(wrap(at.x - target.origin.x, pattern.pixels.width()),
                                            wrap(at.y - target.origin.y, pattern.pixels.height()));
    if (pattern.bitsPerPixel == 1)
        return colour == 0 ? dc.textColour : dc.backColour;
    return colour;
}

void Gdi::fillWithBrushLocked(const DeviceContext& dc, const Target& target, const RECT& area,
                              const BrushObject& brush) const
{
    m_kernel.mutex().assertHeld();
    if (!brush.pattern) {
        if (brush.colour)
            fillArea(*target.surface, target.clip, area, *brush.colour);
        return;
    }
    const RECT r = intersect(intersect(area, target.clip), boundsOf(*target.surface));
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x)
            target.surface->setPixel(x, y, *brushPixel(dc, target, brush, POINT{x, y}));
}

bool Gdi::rectangleLocked(HDC handle, RECT area)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    const BrushObject* brushObject = brushLocked(dc->brush);
    const auto brush = brushColourLocked(*dc);
    const auto paint = [&](const RECT& area) {
        if (brushObject)
            fillWithBrushLocked(*dc, *target, area, *brushObject);
    };
    const auto* penObject = objectLocked(dc->pen);
    const auto* pen = penObject ? penObject->as<PenObject>() : nullptr;
    Surface& surface = *target->surface;
    const RECT r = offsetBy(normalised(area), target->origin);
    if (isEmpty(r))
        return true;
    if (!pen || !pen->colour) {
        // Without a pen the figure is one pixel smaller on the right and at the bottom.
        paint(RECT{r.left, r.top, r.right - 1, r.bottom - 1});
        return true;
    }
    // The border lies inside the rectangle, the brush within the border; of one colour, they
    // are one fill.
    if (brush && brush == pen->colour) {
        fillArea(surface, target->clip, r, *brush);
        return true;
    }
    const LONG w = pen->width;
    paint(RECT{r.left + w, r.top + w, r.right - w, r.bottom - w});
    const Rgb ink = *pen->colour;
    fillArea(surface, target->clip, RECT{r.left, r.top, r.right, std::min(r.top + w, r.bottom)}, ink);
    fillArea(surface, target->clip, RECT{r.left, std::max(r.bottom - w, r.top), r.right, r.bottom}, ink);
    fillArea(surface, target->clip, RECT{r.left, r.top, std::min(r.left + w, r.right), r.bottom}, ink);
    fillArea(surface, target->clip, RECT{std::max(r.right - w, r.left), r.top, r.right, r.bottom}, ink);
    return true;
}

bool Gdi::fillRectLocked(HDC handle, const RECT& area, HBRUSH brushHandle)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    const auto* brushObject = objectLocked(brushHandle);
    const auto* brush = brushObject ? brushObject->as<BrushObject>() : nullptr;
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target || !brush) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    fillWithBrushLocked(*dc, *target, offsetBy(area, target->origin), *brush);
    return true;
}

bool Gdi::bitBltLocked(HDC dstHandle, POINT at, SIZE size, HDC srcHandle, POINT from, DWORD rop)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dst = dcLocked(dstHandle);
    auto target = dst ? targetLocked(*dst) : std::nullopt;
    if (!target) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    // The operations the frames use keep their own paths; the rest take the general one.
    const RECT to = offsetBy(rectAt(at, size), target->origin);
    if (rop == BLACKNESS || rop == WHITENESS) {
        fillArea(*target->surface, target->clip, to, rop == BLACKNESS ? rgb(0, 0, 0) : rgb(255, 255, 255));
        return true;
    }
    if (rop == PATCOPY) {
        if (const BrushObject* brush = brushLocked(dst->brush))
            fillWithBrushLocked(*dst, *target, to, *brush);
        return true;
    }
    if (rop == SRCCOPY && isTrueColour(target->bitsPerPixel)) {
        const DeviceContext* src = dcLocked(srcHandle);
        auto source = src ? targetLocked(*src) : std::nullopt;
        if (!source) {
            kernel::setLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        if (isTrueColour(source->bitsPerPixel)) {
            blit(*target->surface, target->clip, to, *source->surface, source->clip,
                 offsetBy(rectAt(from, size), source->origin), std::nullopt);
            return true;
        }
    }
    target.reset();
    return rasterLocked(dstHandle, BlitExtent{at, size}, srcHandle, BlitExtent{from, size}, rop);
}

bool Gdi::transparentImageLocked(HDC dstHandle, const RECT& to, HANDLE srcHandle, const RECT& from, COLORREF key)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dst = dcLocked(dstHandle);
    const auto target = dst ? targetLocked(*dst) : std::nullopt;
    // The source is a device context or a bitmap.
    std::optional<Target> source;
    if (const DeviceContext* src = dcLocked(reinterpret_cast<HDC>(srcHandle)))
        source = targetLocked(*src);
    else if (GdiObject* object = objectLocked(reinterpret_cast<HGDIOBJ>(srcHandle)))
        if (object->as<BitmapObject>())
            source = bitmapTargetLocked(reinterpret_cast<HGDIOBJ>(srcHandle));
    if (!target || !source) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (to.right < to.left || to.bottom < to.top || from.right < from.left || from.bottom < from.top) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    blit(*target->surface, target->clip, offsetBy(to, target->origin), *source->surface, source->clip,
         offsetBy(from, source->origin), fromColorRef(key));
    return true;
}

COLORREF Gdi::getPixelLocked(HDC handle, POINT at)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    const POINT p{at.x + target->origin.x, at.y + target->origin.y};
    if (!inside(target->clip, p)) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return CLR_INVALID;
    }
    return toColorRef(target->surface->pixel(p.x, p.y));
}

COLORREF Gdi::setPixelLocked(HDC handle, POINT at, COLORREF colour)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    const POINT p{at.x + target->origin.x, at.y + target->origin.y};
    if (!inside(target->clip, p)) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return CLR_INVALID;
    }
    const Rgb stored = nearestColour(target->bitsPerPixel, fromColorRef(colour));
    target->surface->setPixel(p.x, p.y, stored);
    return toColorRef(stored);
}

}  // namespace velorin::gdi
