// Input from the world: taps to the window under the point, keys to the active window.
#include "window/window_manager.hpp"

#include "window/window_text.hpp"

namespace velorin::window {

Window* WindowManager::hitTestLocked(int x, int y, bool& inCloseBox)
{
    inCloseBox = false;
    const POINT pt{x, y};
    for (HWND hwnd : m_zOrder) {
        Window* top = findLocked(hwnd);
        if (!top || !top->visible)
            continue;
        const RECT& r = top->rect;
        if (pt.x < r.left || pt.x >= r.right || pt.y < r.top || pt.y >= r.bottom)
            continue;
        const NonClient nc = nonClientLocked(*top);
        const int wx = x - r.left;
        const int wy = y - r.top;
        if (nc.closeBox && wy >= nc.top - kCaptionHeight && wy < nc.top &&
            wx >= (r.right - r.left) - nc.right - kCaptionHeight && wx < (r.right - r.left) - nc.right) {
            inCloseBox = true;
            return top;
        }
        // The deepest visible child under the point, the last created first.
        Window* found = top;
        bool descended = true;
        while (descended) {
            descended = false;
            for (auto it = found->children.rbegin(); it != found->children.rend(); ++it) {
                Window* child = findLocked(*it);
                if (!child || !child->visible)
                    continue;
                const RECT inSurface = clientInSurfaceLocked(*child);
                if (wx >= inSurface.left && wx < inSurface.right && wy >= inSurface.top && wy < inSurface.bottom) {
                    found = child;
                    descended = true;
                    break;
                }
            }
        }
        return found;
    }
    return nullptr;
}

void WindowManager::tap(int x, int y)
{
    std::lock_guard lock(m_kernel.mutex());
    bool inCloseBox = false;
    Window* target = hitTestLocked(x, y, inCloseBox);
    if (!target)
        return;
    Window& top = topLevelLocked(*target);
    // A disabled window, or a control of a disabled window, gets nothing.
    if (!target->enabled || !top.enabled)
        return;
    setForegroundLocked(top.hwnd);
    const auto now = static_cast<DWORD>(m_kernel.scheduler().nowLocked());
    if (inCloseBox) {
        postToThreadLocked(top.thread, MSG{top.hwnd,
                                           WM_SYSCOMMAND,
                                           SC_CLOSE,
                                           MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)),
                                           now,
                                           {x, y}});
        return;
    }
    const RECT client = clientInSurfaceLocked(*target);
    const int cx = x - top.rect.left - client.left;
    const int cy = y - top.rect.top - client.top;
    const LPARAM where = MAKELPARAM(static_cast<WORD>(cx), static_cast<WORD>(cy));
    postToThreadLocked(target->thread, MSG{target->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, where, now, {x, y}});
    postToThreadLocked(target->thread, MSG{target->hwnd, WM_LBUTTONUP, 0, where, now, {x, y}});
}

void WindowManager::key(UINT virtualKey)
{
    std::lock_guard lock(m_kernel.mutex());
    Window* active = findLocked(m_foreground);
    if (!active || !active->enabled)
        return;
    Window* target = active;
    if (Window* focus = findLocked(m_focus); focus && topLevelLocked(*focus).hwnd == active->hwnd)
        target = focus;
    const auto now = static_cast<DWORD>(m_kernel.scheduler().nowLocked());
    postToThreadLocked(target->thread, MSG{target->hwnd, WM_KEYDOWN, virtualKey, 1, now, {}});
    postToThreadLocked(target->thread,
                       MSG{target->hwnd, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u), now, {}});
}

std::optional<POINT> WindowManager::buttonCentre(const std::wstring& text)
{
    std::lock_guard lock(m_kernel.mutex());
    for (HWND hwnd : m_zOrder) {
        Window* top = findLocked(hwnd);
        if (!top || !top->visible)
            continue;
        for (HWND child : top->children) {
            Window* c = findLocked(child);
            if (c && c->visible && sameTextNoCase(c->className, L"BUTTON") && c->text == text) {
                const RECT r = screenRectLocked(*c);
                return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            }
        }
    }
    return std::nullopt;
}

}  // namespace velorin::window
