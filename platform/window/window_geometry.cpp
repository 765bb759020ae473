// Where a window is: its frame, its client, screen and surface rectangles, its drawing target, its moves.
#include "window/window_manager.hpp"

#include "window/window_rects.hpp"

#include <algorithm>

namespace velorin::window {

NonClient WindowManager::nonClientLocked(const Window& window) const
{
    m_kernel.mutex().assertHeld();
    NonClient nc;
    if (window.isChild())
        return nc;
    const bool framed = (window.style & (WS_CAPTION | WS_DLGFRAME)) != 0 || (window.style & DS_MODALFRAME) != 0;
    if (framed || (window.style & WS_BORDER) != 0) {
        const int width = framed ? kFrameWidth : 1;
        nc.left = nc.top = nc.right = nc.bottom = width;
    }
    if ((window.style & WS_CAPTION) == WS_CAPTION) {
        nc.caption = true;
        nc.top += kCaptionHeight;
        nc.closeBox = (window.style & WS_SYSMENU) != 0;
    }
    return nc;
}

RECT WindowManager::clientRectLocked(const Window& window) const
{
    m_kernel.mutex().assertHeld();
    const NonClient nc = nonClientLocked(window);
    const LONG width = window.rect.right - window.rect.left - nc.left - nc.right;
    const LONG height = window.rect.bottom - window.rect.top - nc.top - nc.bottom;
    return RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
}

RECT WindowManager::clientInSurfaceLocked(const Window& window)
{
    m_kernel.mutex().assertHeld();
    if (!window.isChild()) {
        const NonClient nc = nonClientLocked(window);
        const RECT client = clientRectLocked(window);
        return RECT{nc.left, nc.top, nc.left + client.right, nc.top + client.bottom};
    }
    Window* parent = findLocked(window.parent);
    if (!parent)
        return RECT{};
    const RECT parentClient = clientInSurfaceLocked(*parent);
    const RECT mine{parentClient.left + window.rect.left, parentClient.top + window.rect.top,
                    parentClient.left + window.rect.right, parentClient.top + window.rect.bottom};
    return intersect(mine, parentClient);
}

RECT WindowManager::screenRectLocked(const Window& window)
{
    m_kernel.mutex().assertHeld();
    if (!window.isChild())
        return window.rect;
    const Window& top = topLevelLocked(const_cast<Window&>(window));
    const Window* parent = findLocked(window.parent);
    const RECT parentInSurface = parent ? clientInSurfaceLocked(*parent) : RECT{};
    const LONG left = top.rect.left + parentInSurface.left + window.rect.left;
    const LONG topEdge = top.rect.top + parentInSurface.top + window.rect.top;
    return RECT{left, topEdge, left + window.rect.right - window.rect.left,
                topEdge + window.rect.bottom - window.rect.top};
}

std::optional<gdi::WindowTarget> WindowManager::windowTargetLocked(HWND hwnd)
{
    m_kernel.mutex().assertHeld();
    Window* w = findLocked(hwnd);
    if (!w)
        return std::nullopt;
    if (!w->isChild()) {
        // A top-level window draws on its own surface: the frame's each drawing call comes here.
        if (!w->surface)
            return std::nullopt;
        const RECT client = clientInSurfaceLocked(*w);
        return gdi::WindowTarget{w->surface.get(), POINT{client.left, client.top}, client};
    }
    Window& top = topLevelLocked(*w);
    if (!top.surface)
        return std::nullopt;
    const RECT screen = screenRectLocked(*w);
    const RECT client = clientInSurfaceLocked(*w);
    POINT origin{screen.left - top.rect.left, screen.top - top.rect.top};
    if (!w->isChild()) {
        const NonClient nc = nonClientLocked(*w);
        origin = POINT{nc.left, nc.top};
    }
    return gdi::WindowTarget{top.surface.get(), origin, client};
}

void WindowManager::moveLocked(Window& window, RECT rect, bool repaint)
{
    m_kernel.mutex().assertHeld();
    const RECT old = window.rect;
    window.rect = rect;
    if (window.surface)
        window.surface->resize(rect.right - rect.left, rect.bottom - rect.top, window.background);
    const bool moved = old.left != rect.left || old.top != rect.top;
    const bool resized = old.right - old.left != rect.right - rect.left || old.bottom - old.top != rect.bottom - rect.top;
    if (window.isChild() && (moved || resized)) {
        // A child is drawn on its parent's surface: the parent shows again what the child
        // covered, and the child is drawn where it now is.
        if (Window* parent = findLocked(window.parent))
            invalidateLocked(*parent, old, true);
        invalidateLocked(window, std::nullopt, true);
    } else if (repaint || resized) {
        invalidateLocked(window, std::nullopt, true);
    }
}

}  // namespace velorin::window
