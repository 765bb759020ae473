// Windows among each other: visibility, z-order and topmost, activation and focus, enabling,
// titles, and the FindWindowW-style lookups that walk the z-order.
#include "window/window_manager.hpp"

#include "trace/trace_recorder.hpp"
#include "window/window_text.hpp"

#include <algorithm>

namespace velorin::window {

bool WindowManager::isShownLocked(const Window& window)
{
    m_kernel.mutex().assertHeld();
    const Window* w = &window;
    while (w) {
        if (!w->visible)
            return false;
        w = w->isChild() ? findLocked(w->parent) : nullptr;
    }
    return true;
}

bool WindowManager::showLocked(Window& window, bool visible, bool passActivation)
{
    m_kernel.mutex().assertHeld();
    const bool was = window.visible;
    if (was == visible)
        return was;
    window.visible = visible;
    if (tracedLocked(window))
        traceLocked(visible ? "window.show" : "window.hide", window);
    if (visible) {
        invalidateLocked(window, std::nullopt, true);
    } else if (!window.isChild() && m_foreground == window.hwnd && passActivation) {
        activateNextLocked(window.hwnd);
    } else if (window.isChild() && holdsFocusLocked(window)) {
        // A hidden child can hold no focus: it goes to the parent, as on Windows.
        m_focus = window.parent;
    }
    if (window.isChild()) {
        // The parent shows what was under the child.
        if (Window* parent = findLocked(window.parent))
            invalidateLocked(*parent, window.rect, true);
    }
    m_kernel.signalLocked();
    return was;
}

void WindowManager::setTopmostLocked(Window& window, bool topmost)
{
    m_kernel.mutex().assertHeld();
    if (window.isChild())
        return;
    window.topmost = topmost;
    if (topmost) {
        window.exStyle |= WS_EX_TOPMOST;
        traceLocked("window.topmost", window);
    } else {
        window.exStyle &= ~WS_EX_TOPMOST;
    }
    raiseLocked(window);
}

void WindowManager::raiseLocked(Window& window)
{
    m_kernel.mutex().assertHeld();
    if (window.isChild())
        return;
    // A window owned by a topmost window is topmost too; owned windows stay above their owner.
    const auto band = [this](HWND hwnd) {
        const Window* w = findLocked(hwnd);
        while (w) {
            if (w->topmost)
                return 1;
            w = w->owner ? findLocked(w->owner) : nullptr;
        }
        return 0;
    };
    const HWND hwnd = window.hwnd;
    std::erase(m_zOrder, hwnd);
    const int mine = band(hwnd);
    const auto at = std::find_if(m_zOrder.begin(), m_zOrder.end(), [&](HWND other) { return band(other) <= mine; });
    m_zOrder.insert(at, hwnd);
    for (HWND other : std::vector<HWND>(m_zOrder)) {
        const Window* w = findLocked(other);
        if (w && w->owner == hwnd)
            raiseLocked(*findLocked(other));
    }
}

void WindowManager::placeTopLevelLocked(Window& window, HWND insertAfter)
{
    m_kernel.mutex().assertHeld();
    const Window* after = insertAfter == HWND_BOTTOM ? nullptr : findLocked(insertAfter);
    if (insertAfter != HWND_BOTTOM && (!after || after->isChild() || after == &window)) {
        raiseLocked(window);
        return;
    }
    window.topmost = after && after->topmost;
    window.exStyle = window.topmost ? (window.exStyle | WS_EX_TOPMOST) : (window.exStyle & ~WS_EX_TOPMOST);
    std::erase(m_zOrder, window.hwnd);
    const auto at = after ? std::find(m_zOrder.begin(), m_zOrder.end(), insertAfter) + 1 : m_zOrder.end();
    m_zOrder.insert(at, window.hwnd);
}

void WindowManager::placeChildLocked(Window& child, HWND insertAfter)
{
    m_kernel.mutex().assertHeld();
    Window* parent = findLocked(child.parent);
    if (!parent || insertAfter == child.hwnd)
        return;
    std::vector<HWND>& siblings = parent->children;
    std::erase(siblings, child.hwnd);
    const auto after = std::find(siblings.begin(), siblings.end(), insertAfter);
    if (after != siblings.end())
        siblings.insert(after + 1, child.hwnd);
    else if (insertAfter == HWND_BOTTOM)
        siblings.push_back(child.hwnd);
    else
        siblings.insert(siblings.begin(), child.hwnd);  // HWND_TOP; a child cannot be topmost
}

bool WindowManager::setForegroundLocked(HWND hwnd)
{
    m_kernel.mutex().assertHeld();
    Window* w = findLocked(hwnd);
    if (!w)
        return false;
    Window& top = topLevelLocked(*w);
    // CE's EnableWindow: a window must be enabled before it can be activated. An owner that a
    // modal dialog disabled so stays behind it, and the keys stay with the dialog.
    if (!top.enabled)
        return false;
    raiseLocked(top);
    if (m_foreground == top.hwnd)
        return true;
    m_foreground = top.hwnd;
    traceLocked("window.foreground", top);
    // The activated window takes the focus unless it holds it already, as DefWindowProc's
    // WM_ACTIVATE gives it on Windows.
    if (!holdsFocusLocked(top))
        m_focus = top.hwnd;
    return true;
}

bool WindowManager::holdsFocusLocked(const Window& window)
{
    m_kernel.mutex().assertHeld();
    return m_focus && (m_focus == window.hwnd || isDescendantLocked(m_focus, window.hwnd));
}

void WindowManager::activateNextLocked(HWND leaving)
{
    m_kernel.mutex().assertHeld();
    m_foreground = nullptr;
    if (Window* w = findLocked(leaving); w && holdsFocusLocked(*w))
        m_focus = nullptr;
    for (HWND hwnd : m_zOrder) {
        Window* w = findLocked(hwnd);
        if (hwnd != leaving && w && w->visible && w->enabled) {
            setForegroundLocked(hwnd);
            return;
        }
    }
}

HWND WindowManager::setFocusLocked(HWND hwnd)
{
    m_kernel.mutex().assertHeld();
    const HWND previous = m_focus;
    m_focus = hwnd;
    if (previous != hwnd) {
        if (Window* old = findLocked(previous))
            invalidateLocked(*old, std::nullopt, false);
        if (Window* now = findLocked(hwnd))
            invalidateLocked(*now, std::nullopt, false);
    }
    return previous;
}

bool WindowManager::enableLocked(Window& window, bool enable)
{
    m_kernel.mutex().assertHeld();
    const bool wasDisabled = !window.enabled;
    window.enabled = enable;
    // A disabled window loses the focus; its children keep theirs, as on Windows.
    if (!enable && m_focus == window.hwnd)
        m_focus = nullptr;
    return wasDisabled;
}

void WindowManager::setTextLocked(Window& window, std::wstring text)
{
    m_kernel.mutex().assertHeld();
    const bool changed = window.text != text;
    window.text = std::move(text);
    if (tracedLocked(window) && changed)
        traceLocked("window.title", window, trace::quoted(window.text));
    if (window.isChild() || nonClientLocked(window).caption)
        invalidateLocked(window, std::nullopt, true);
}

HWND WindowManager::findTopLevelLocked(const std::wstring* className, const std::wstring* title) const
{
    m_kernel.mutex().assertHeld();
    for (HWND hwnd : m_zOrder) {
        const Window* w = findLocked(hwnd);
        if (!w)
            continue;
        if (className && !sameTextNoCase(w->className, *className))
            continue;
        if (title && !sameTextNoCase(w->text, *title))
            continue;
        return hwnd;
    }
    return nullptr;
}

HWND WindowManager::findUnownedLocked(const std::wstring& title) const
{
    m_kernel.mutex().assertHeld();
    for (HWND hwnd : m_zOrder) {
        const Window* w = findLocked(hwnd);
        if (w && !w->owner && sameTextNoCase(w->text, title))
            return hwnd;
    }
    return nullptr;
}

}  // namespace velorin::window
