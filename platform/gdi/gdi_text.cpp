// Text through device contexts and for the window manager's chrome, in the UI font.
#include "gdi/gdi.hpp"

#include "gdi/raster.hpp"
#include "gdi/text_layout.hpp"
#include "kernel/kernel.hpp"

#include <utility>

namespace velorin::gdi {

namespace {

const resources::UiFont& font()
{
    return resources::UiFont::system();
}

}  // namespace

COLORREF Gdi::setTextColorLocked(HDC handle, COLORREF colour)
{
    m_kernel.mutex().assertHeld();
    DeviceContext* dc = dcLocked(handle);
    if (!dc) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    return toColorRef(std::exchange(dc->textColour, fromColorRef(colour)));
}

COLORREF Gdi::textColorLocked(HDC handle) const
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    if (!dc) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    return toColorRef(dc->textColour);
}

COLORREF Gdi::setBkColorLocked(HDC handle, COLORREF colour)
{
    m_kernel.mutex().assertHeld();
    DeviceContext* dc = dcLocked(handle);
    if (!dc) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    return toColorRef(std::exchange(dc->backColour, fromColorRef(colour)));
}

int Gdi::setBkModeLocked(HDC handle, int mode)
{
    m_kernel.mutex().assertHeld();
    DeviceContext* dc = dcLocked(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) {
        kernel::setLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    return std::exchange(dc->backMode, mode);
}

int Gdi::drawTextLocked(HDC handle, std::wstring_view text, RECT& area, UINT format)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    // As on the system, vertical placement needs a single line.
    if ((format & DT_SINGLELINE) == 0)
        format &= ~(DT_VCENTER | DT_BOTTOM);
    const TextLayout layout = layoutText(font(), text, format, area.right - area.left);
    if (format & DT_CALCRECT) {
        area.right = area.left + layout.width();
        area.bottom = area.top + layout.height();
        return layout.height();
    }
    const RECT box = offsetBy(area, target->origin);
    const RECT clip = (format & DT_NOCLIP) ? target->clip : intersect(target->clip, box);
    const std::optional<Rgb> background = dc->backMode == OPAQUE ? std::optional<Rgb>(dc->backColour) : std::nullopt;
    const int top = renderText(*target->surface, clip, box, layout, font(), dc->textColour, format, background);
    return top - box.top + layout.height();
}

bool Gdi::extTextOutLocked(HDC handle, POINT at, UINT options, const RECT* area, std::wstring_view text)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    const auto target = dc ? targetLocked(*dc) : std::nullopt;
    if (!target) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    RECT clip = target->clip;
    if (area && (options & ETO_OPAQUE))
        fillArea(*target->surface, clip, offsetBy(*area, target->origin), dc->backColour);
    if (area && (options & ETO_CLIPPED))
        clip = intersect(clip, offsetBy(*area, target->origin));
    const TextLayout layout = layoutText(font(), text, DT_SINGLELINE | DT_NOPREFIX, 0);
    const RECT box = offsetBy(RECT{at.x, at.y, at.x + layout.width(), at.y + layout.height()}, target->origin);
    const std::optional<Rgb> background = dc->backMode == OPAQUE ? std::optional<Rgb>(dc->backColour) : std::nullopt;
    renderText(*target->surface, clip, box, layout, font(), dc->textColour, DT_LEFT, background);
    return true;
}

std::optional<SIZE> Gdi::textExtentLocked(HDC handle, std::wstring_view text) const
{
    m_kernel.mutex().assertHeld();
    if (!dcLocked(handle)) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return std::nullopt;
    }
    const TextLayout layout = layoutText(font(), text, DT_SINGLELINE | DT_NOPREFIX, 0);
    return SIZE{layout.width(), layout.height()};
}

void Gdi::drawTextLocked(Surface& surface, const RECT& area, std::wstring_view text, Rgb colour, UINT format)
{
    m_kernel.mutex().assertHeld();
    const TextLayout layout = layoutText(font(), text, format, area.right - area.left);
    const RECT clip = (format & DT_NOCLIP) ? boundsOf(surface) : intersect(boundsOf(surface), area);
    renderText(surface, clip, area, layout, font(), colour, format, std::nullopt);
}

SIZE Gdi::measureTextLocked(std::wstring_view text) const
{
    m_kernel.mutex().assertHeld();
    const TextLayout layout = layoutText(font(), text, DT_NOPREFIX, 0);
    return SIZE{layout.width(), layout.height()};
}

}  // namespace velorin::gdi
