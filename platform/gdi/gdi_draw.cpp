// Drawing through device contexts: rectangles, fills, copies and single pixels.
#include "gdi/gdi.hpp"

#include "gdi/raster.hpp"
#include "kernel/kernel.hpp"

#include <algorithm>

namespace velorin::gdi {

namespace {

void fail(DWORD error)
{
    kernel::setLastError(error);
}

RECT rectAt(POINT at, SIZE size)
{
    return RECT{at.x, at.y, at.x + size.cx, at.y + size.cy};
}

bool inside(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

std::optional<Rgb> Gdi::brushColourLocked(const DeviceContext& dc) const
{
    const GdiObject* object = objectLocked(dc.brush);
    const auto* brush = object ? object->as<BrushObject>() : nullptr;
    return brush ? brush->colour : std::nullopt;
}

bool Gdi::rectangleLocked(HDC handle, RECT area)
{
    const DeviceContext* dc = dcLocked(handle);
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target) {
        fail(ERROR_INVALID_HANDLE);
        return false;
    }
    const auto brush = brushColourLocked(*dc);
    const auto* penObject = objectLocked(dc->pen);
    const auto* pen = penObject ? penObject->as<PenObject>() : nullptr;
    Surface& surface = *target->surface;
    const RECT r = offsetBy(normalised(area), target->origin);
    if (isEmpty(r))
        return true;
    if (!pen || !pen->colour) {
        // Without a pen the figure is one pixel smaller on the right and at the bottom.
        if (brush)
            fillArea(surface, target->clip, RECT{r.left, r.top, r.right - 1, r.bottom - 1}, *brush);
        return true;
    }
    // The border lies inside the rectangle, the brush within the border; of one colour, they
    // are one fill.
    if (brush == pen->colour) {
        fillArea(surface, target->clip, r, *brush);
        return true;
    }
    const LONG w = pen->width;
    if (brush)
        fillArea(surface, target->clip, RECT{r.left + w, r.top + w, r.right - w, r.bottom - w}, *brush);
    const Rgb ink = *pen->colour;
    fillArea(surface, target->clip, RECT{r.left, r.top, r.right, std::min(r.top + w, r.bottom)}, ink);
    fillArea(surface, target->clip, RECT{r.left, std::max(r.bottom - w, r.top), r.right, r.bottom}, ink);
    fillArea(surface, target->clip, RECT{r.left, r.top, std::min(r.left + w, r.right), r.bottom}, ink);
    fillArea(surface, target->clip, RECT{std::max(r.right - w, r.left), r.top, r.right, r.bottom}, ink);
    return true;
}

bool Gdi::fillRectLocked(HDC handle, const RECT& area, HBRUSH brushHandle)
{
    const DeviceContext* dc = dcLocked(handle);
    const auto* brushObject = objectLocked(brushHandle);
    const auto* brush = brushObject ? brushObject->as<BrushObject>() : nullptr;
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target || !brush) {
        fail(ERROR_INVALID_HANDLE);
        return false;
    }
    if (brush->colour)
        fillArea(*target->surface, target->clip, offsetBy(area, target->origin), *brush->colour);
    return true;
}

bool Gdi::bitBltLocked(HDC dstHandle, POINT at, SIZE size, HDC srcHandle, POINT from, DWORD rop)
{
    const DeviceContext* dst = dcLocked(dstHandle);
    const auto target = dst ? targetLocked(*dst) : std::nullopt;
    if (!target) {
        fail(ERROR_INVALID_HANDLE);
        return false;
    }
    if (rop != SRCCOPY && rop != BLACKNESS && rop != WHITENESS && rop != PATCOPY) {
        fail(ERROR_INVALID_PARAMETER);
        return false;
    }
    const RECT to = offsetBy(rectAt(at, size), target->origin);
    if (rop == BLACKNESS || rop == WHITENESS) {
        fillArea(*target->surface, target->clip, to, rop == BLACKNESS ? rgb(0, 0, 0) : rgb(255, 255, 255));
        return true;
    }
    if (rop == PATCOPY) {
        if (const auto colour = brushColourLocked(*dst))
            fillArea(*target->surface, target->clip, to, *colour);
        return true;
    }
    const DeviceContext* src = dcLocked(srcHandle);
    const auto source = src ? targetLocked(*src) : std::nullopt;
    if (!source) {
        fail(ERROR_INVALID_HANDLE);
        return false;
    }
    blit(*target->surface, target->clip, to, *source->surface, source->clip,
         offsetBy(rectAt(from, size), source->origin), std::nullopt);
    return true;
}

bool Gdi::transparentImageLocked(HDC dstHandle, const RECT& to, HANDLE srcHandle, const RECT& from, COLORREF key)
{
    const DeviceContext* dst = dcLocked(dstHandle);
    const auto target = dst ? targetLocked(*dst) : std::nullopt;
    // The source is a device context or a bitmap.
    std::optional<Target> source;
    if (const DeviceContext* src = dcLocked(reinterpret_cast<HDC>(srcHandle)))
        source = targetLocked(*src);
    else if (GdiObject* object = objectLocked(reinterpret_cast<HGDIOBJ>(srcHandle)))
        if (auto* bitmap = object->as<BitmapObject>())
            source = Target{&bitmap->pixels, POINT{0, 0}, boundsOf(bitmap->pixels)};
    if (!target || !source) {
        fail(ERROR_INVALID_HANDLE);
        return false;
    }
    if (to.right < to.left || to.bottom < to.top || from.right < from.left || from.bottom < from.top) {
        fail(ERROR_INVALID_PARAMETER);
        return false;
    }
    blit(*target->surface, target->clip, offsetBy(to, target->origin), *source->surface, source->clip,
         offsetBy(from, source->origin), fromColorRef(key));
    return true;
}

COLORREF Gdi::getPixelLocked(HDC handle, POINT at)
{
    const DeviceContext* dc = dcLocked(handle);
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target) {
        fail(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    const POINT p{at.x + target->origin.x, at.y + target->origin.y};
    if (!inside(target->clip, p)) {
        fail(ERROR_INVALID_PARAMETER);
        return CLR_INVALID;
    }
    return toColorRef(target->surface->pixel(p.x, p.y));
}

COLORREF Gdi::setPixelLocked(HDC handle, POINT at, COLORREF colour)
{
    const DeviceContext* dc = dcLocked(handle);
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target) {
        fail(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    const POINT p{at.x + target->origin.x, at.y + target->origin.y};
    if (!inside(target->clip, p)) {
        fail(ERROR_INVALID_PARAMETER);
        return CLR_INVALID;
    }
    target->surface->setPixel(p.x, p.y, fromColorRef(colour));
    return toColorRef(fromColorRef(colour));
}

}  // namespace velorin::gdi
