// Painting: invalidation, the WM_PAINT a thread is owed, WM_ERASEBKGND, BeginPaint and EndPaint, and
// the screen composed from the top-level surfaces.
#include "window/window_manager.hpp"

#include "window/window_rects.hpp"

namespace velorin::window {

void WindowManager::invalidateLocked(Window& window, std::optional<RECT> rect, bool erase)
{
    m_kernel.mutex().assertHeld();
    const RECT client = clientRectLocked(window);
    const RECT area = rect ? intersect(*rect, client) : client;
    if (!empty(area) || !rect) {
        window.invalid = window.invalid ? unite(*window.invalid, area) : area;
        window.erasePending = window.erasePending || erase;
    }
    // Children lying in the area paint again over what the parent erases.
    for (HWND hwnd : window.children) {
        Window* child = findLocked(hwnd);
        if (!child)
            continue;
        const RECT overlap = intersect(area, child->rect);
        if (!empty(overlap))
            invalidateLocked(*child, std::nullopt, erase);
    }
    if (!window.isChild() && window.surface && nonClientLocked(window).caption)
        window.erasePending = window.erasePending || erase;
    m_kernel.signalLocked();
}

void WindowManager::invalidateAllLocked()
{
    m_kernel.mutex().assertHeld();
    for (HWND hwnd : m_zOrder) {
        if (Window* w = findLocked(hwnd))
            invalidateLocked(*w, std::nullopt, true);
    }
}

std::vector<HWND> WindowManager::orientationChangedLocked()
{
    invalidateAllLocked();
    return m_zOrder;
}

void WindowManager::tellOrientationChanged(HWND window)
{
    send(window, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
}

std::optional<MSG> WindowManager::paintMessageLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last,
                                                     kernel::DeviceTime now)
{
    m_kernel.mutex().assertHeld();
    // In handle order, which is creation order: parents paint first.
    for (const auto& [hwnd, w] : m_windows) {
        if (w->thread != thread || !w->invalid || !isShownLocked(*w))
            continue;
        MSG paint{hwnd, WM_PAINT, 0, 0, static_cast<DWORD>(now), {}};
        if (matches(paint, filter, first, last))
            return paint;
    }
    return std::nullopt;
}

HDC WindowManager::beginPaint(HWND hwnd, PAINTSTRUCT& paint)
{
    HDC dc = nullptr;
    bool erase = false;
    RECT area{};
    {
        std::lock_guard lock(m_kernel.mutex());
        Window* w = findLocked(hwnd);
        if (!w) {
            kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        area = w->invalid.value_or(RECT{});
        erase = w->erasePending;
        paintFrameLocked(*w);
        validateLocked(*w);
        dc = m_gdi.openWindowDCLocked(hwnd, area);
    }
    const bool erased = erase && dc && send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) != 0;
    paint = PAINTSTRUCT{dc, erase && !erased ? TRUE : FALSE, area, FALSE, FALSE, {}};
    return dc;
}

LRESULT WindowManager::eraseBackground(HWND hwnd)
{
    std::lock_guard lock(m_kernel.mutex());
    Window* w = findLocked(hwnd);
    if (!w || !w->erases)
        return 0;
    Window& top = topLevelLocked(*w);
    const RECT area = clientInSurfaceLocked(*w);
    if (top.surface)
        top.surface->fill(area.left, area.top, area.right, area.bottom, w->background);
    return 1;
}

void WindowManager::eraseShown(HWND hwnd)
{
    HDC dc = nullptr;
    {
        std::lock_guard lock(m_kernel.mutex());
        Window* w = findLocked(hwnd);
        if (!w || !w->erasePending || !isShownLocked(*w))
            return;
        w->erasePending = false;
        dc = m_gdi.openWindowDCLocked(hwnd, w->invalid);
    }
    if (!dc)
        return;
    send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    std::lock_guard lock(m_kernel.mutex());
    m_gdi.releaseWindowDCLocked(dc);
}

bool WindowManager::endPaint(const PAINTSTRUCT& paint)
{
    std::lock_guard lock(m_kernel.mutex());
    return m_gdi.releaseWindowDCLocked(paint.hdc);
}

gdi::Surface WindowManager::composeScreen()
{
    std::lock_guard lock(m_kernel.mutex());
    return composeScreenLocked();
}

gdi::Surface WindowManager::composeScreenLocked()
{
    m_kernel.mutex().assertHeld();
    if (m_desktop.width() != m_display.width() || m_desktop.height() != m_display.height())
        m_desktop.resize(m_display.width(), m_display.height());
    gdi::Surface screen = m_desktop;
    for (auto it = m_zOrder.rbegin(); it != m_zOrder.rend(); ++it) {
        const Window* w = findLocked(*it);
        if (!w || !w->visible || !w->surface)
            continue;
        const gdi::Surface& s = *w->surface;
        for (int y = 0; y < s.height(); ++y) {
            const int sy = w->rect.top + y;
            if (sy < 0 || sy >= screen.height())
                continue;
            for (int x = 0; x < s.width(); ++x)
                screen.setPixel(w->rect.left + x, sy, s.pixel(x, y));
        }
    }
    return screen;
}

void WindowManager::drawOnScreenLocked(const gdi::Surface& before, const gdi::Surface& after)
{
    m_kernel.mutex().assertHeld();
    composeScreenLocked();  // the desktop at the screen's size
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            const gdi::Rgb colour = after.pixel(x, y);
            if (colour == before.pixel(x, y))
                continue;
            m_desktop.setPixel(x, y, colour);
            for (HWND hwnd : m_zOrder) {
                Window* w = findLocked(hwnd);
                if (w && w->visible && w->surface)
                    w->surface->setPixel(x - w->rect.left, y - w->rect.top, colour);
            }
        }
}

}  // namespace velorin::window
