// Input from the world: taps to the window under the point, keys to the active window.
#include "window/window_manager.hpp"

#include "window/window_text.hpp"

#include <algorithm>

namespace velorin::window {

Window* WindowManager::hitTestLocked(int x, int y, bool& inCloseBox)
{
    m_kernel.mutex().assertHeld();
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
        // The deepest visible child under the point, the top of the siblings' order first. A
        // disabled child is passed over, so that its parent takes the click, as on Windows.
        Window* found = top;
        bool descended = true;
        while (descended) {
            descended = false;
            for (HWND hwnd : found->children) {
                Window* child = findLocked(hwnd);
                if (!child || !child->visible || !child->enabled)
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
    pointerLocked(x, y, true);
    pointerLocked(x, y, false);
}

void WindowManager::key(UINT virtualKey)
{
    std::lock_guard lock(m_kernel.mutex());
    keyLocked(virtualKey, true);
    keyLocked(virtualKey, false);
}

void WindowManager::pointerLocked(int x, int y, bool down)
{
    m_kernel.mutex().assertHeld();
    m_cursor = POINT{x, y};
    bool inCloseBox = false;
    Window* target = hitTestLocked(x, y, inCloseBox);
    if (!target)
        return;
    Window& top = topLevelLocked(*target);
    // A disabled window's clicks are lost (its disabled controls were passed over already).
    if (!top.enabled)
        return;
    const auto now = static_cast<DWORD>(m_kernel.scheduler().nowLocked());
    if (down)
        setForegroundLocked(top.hwnd);
    if (inCloseBox) {
        // The close box acts on the press; its release is nothing.
        if (down) {
            const LPARAM at = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
            postInputLocked(top.thread, MSG{top.hwnd, WM_SYSCOMMAND, SC_CLOSE, at, now, {x, y}});
        }
        return;
    }
    // The frame and caption are the window manager's: CE sends no message for a tap on them.
    const RECT client = clientInSurfaceLocked(*target);
    const int wx = x - top.rect.left;
    const int wy = y - top.rect.top;
    if (wx < client.left || wx >= client.right || wy < client.top || wy >= client.bottom)
        return;
    // Client coordinates count from the client's corner even where the parent clips it.
    const NonClient nc = nonClientLocked(*target);
    const RECT screen = screenRectLocked(*target);
    const int cx = x - screen.left - nc.left;
    const int cy = y - screen.top - nc.top;
    const LPARAM where = MAKELPARAM(static_cast<WORD>(cx), static_cast<WORD>(cy));
    const MSG button = down ? MSG{target->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, where, now, {x, y}}
                            : MSG{target->hwnd, WM_LBUTTONUP, 0, where, now, {x, y}};
    postInputLocked(target->thread, button);
}

void WindowManager::keyLocked(UINT virtualKey, bool down)
{
    m_kernel.mutex().assertHeld();
    Window* active = findLocked(m_foreground);
    if (!active || !active->enabled)
        return;
    Window* target = active;
    if (Window* focus = findLocked(m_focus); focus && topLevelLocked(*focus).hwnd == active->hwnd)
        target = focus;
    const auto now = static_cast<DWORD>(m_kernel.scheduler().nowLocked());
    // Repeat count 1; a release also has the previous-state and transition bits.
    const LPARAM flags = down ? 1 : static_cast<LPARAM>(0xC0000001u);
    postInputLocked(target->thread, MSG{target->hwnd, down ? WM_KEYDOWN : WM_KEYUP, virtualKey, flags, now, {}});
}

UINT WindowManager::sendInputLocked(const INPUT& input)
{
    m_kernel.mutex().assertHeld();
    if (input.type == INPUT_KEYBOARD) {
        keyLocked(input.ki.wVk, (input.ki.dwFlags & KEYEVENTF_KEYUP) == 0);
        return 1;
    }
    if (input.type != INPUT_MOUSE)
        return 0;
    const MOUSEINPUT& mouse = input.mi;
    POINT at = m_cursor;
    if (mouse.dwFlags & MOUSEEVENTF_MOVE) {
        if (mouse.dwFlags & MOUSEEVENTF_ABSOLUTE) {
            // Absolute positions span the screen in 65,536 steps.
            at.x = static_cast<LONG>(static_cast<long long>(mouse.dx) * m_display.width() / 65536);
            at.y = static_cast<LONG>(static_cast<long long>(mouse.dy) * m_display.height() / 65536);
        } else {
            at.x += mouse.dx;
            at.y += mouse.dy;
        }
        at.x = std::clamp<LONG>(at.x, 0, m_display.width() - 1);
        at.y = std::clamp<LONG>(at.y, 0, m_display.height() - 1);
        m_cursor = at;
    }
    if (mouse.dwFlags & MOUSEEVENTF_LEFTDOWN)
        pointerLocked(at.x, at.y, true);
    if (mouse.dwFlags & MOUSEEVENTF_LEFTUP)
        pointerLocked(at.x, at.y, false);
    return 1;
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
