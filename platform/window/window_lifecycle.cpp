// Windows coming and going: creation, destruction, and what a process leaves behind when it ends.
#include "window/window_manager.hpp"

#include "trace/trace_recorder.hpp"
#include "window/window_text.hpp"

#include <algorithm>

namespace velorin::window {

HWND WindowManager::create(DWORD exStyle, const std::wstring& className, const std::wstring& title, DWORD style,
                           RECT rect, HWND parent, int id, LPVOID createParam)
{
    HWND hwnd = nullptr;
    {
        std::lock_guard lock(m_kernel.mutex());
        const auto cls = m_classes.find(upper(className));
        if (cls == m_classes.end()) {
            kernel::setLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        Window* parentWindow = parent ? findLocked(parent) : nullptr;
        if (parent && !parentWindow) {
            kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        // A child window lives in its parent: there is no top-level child.
        if ((style & WS_CHILD) && !parentWindow) {
            kernel::setLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        auto window = std::make_unique<Window>();
        hwnd = reinterpret_cast<HWND>(m_nextHandle);
        m_nextHandle += 4;
        window->hwnd = hwnd;
        window->className = cls->second.name;
        window->proc = cls->second.proc;
        window->background = cls->second.background;
        window->erases = cls->second.erases;
        window->style = style & ~WS_VISIBLE;
        window->exStyle = exStyle;
        window->thread = m_kernel.scheduler().currentId();
        window->pid = m_kernel.scheduler().currentProcess();
        window->rect = rect;
        window->text = title;
        window->id = id;
        window->enabled = (style & WS_DISABLED) == 0;
        Window& w = *window;
        if (style & WS_CHILD) {
            w.parent = parent;
            parentWindow->children.push_back(hwnd);
        } else {
            w.owner = parentWindow ? topLevelLocked(*parentWindow).hwnd : nullptr;
            w.topmost = (exStyle & WS_EX_TOPMOST) != 0;
            w.surface = std::make_unique<gdi::Surface>(rect.right - rect.left, rect.bottom - rect.top, w.background);
        }
        m_windows.emplace(hwnd, std::move(window));
        if (!w.isChild()) {
            m_zOrder.push_back(hwnd);
            raiseLocked(w);
            if (!title.empty())
                traceLocked("window.title", w, trace::quoted(title));
        }
    }
    CREATESTRUCTW cs{createParam,
                     nullptr,
                     nullptr,
                     parent,
                     static_cast<int>(rect.bottom - rect.top),
                     static_cast<int>(rect.right - rect.left),
                     static_cast<int>(rect.top),
                     static_cast<int>(rect.left),
                     static_cast<LONG>(style),
                     title.c_str(),
                     className.c_str(),
                     exStyle};
    if (callProcedure(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        destroy(hwnd);
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (style & WS_VISIBLE) {
        std::lock_guard lock(m_kernel.mutex());
        if (Window* w = findLocked(hwnd)) {
            showLocked(*w, true);
            // Shown as by ShowWindow(SW_SHOW): a top-level window is activated too.
            if (!w->isChild())
                setForegroundLocked(hwnd);
        }
    }
    return hwnd;
}

bool WindowManager::destroy(HWND hwnd)
{
    std::vector<HWND> owned;
    {
        std::lock_guard lock(m_kernel.mutex());
        Window* w = findLocked(hwnd);
        if (!w) {
            kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        }
        if (w->thread != m_kernel.scheduler().currentId() && m_kernel.scheduler().currentProcess() != 0) {
            kernel::setLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        // Owned windows go first, as on Windows; another thread's are only let go.
        for (const auto& [other, o] : m_windows) {
            if (o->owner != hwnd)
                continue;
            if (o->thread == w->thread)
                owned.push_back(other);
            else
                o->owner = nullptr;
        }
    }
    for (HWND h : owned)
        destroy(h);
    std::vector<HWND> order;
    {
        std::lock_guard lock(m_kernel.mutex());
        Window* w = findLocked(hwnd);
        if (!w)
            return true;
        if (w->visible)
            showLocked(*w, false);
        // The window first, then its children, as the system sends WM_DESTROY.
        std::vector<HWND> pending{hwnd};
        while (!pending.empty()) {
            HWND next = pending.front();
            pending.erase(pending.begin());
            order.push_back(next);
            if (Window* c = findLocked(next))
                pending.insert(pending.end(), c->children.begin(), c->children.end());
        }
    }
    for (HWND h : order)
        callProcedure(h, WM_DESTROY, 0, 0);
    std::lock_guard lock(m_kernel.mutex());
    if (Window* w = findLocked(hwnd))
        destroyLocked(*w);
    return true;
}

void WindowManager::destroyLocked(Window& window)
{
    m_kernel.mutex().assertHeld();
    const HWND hwnd = window.hwnd;
    for (HWND child : std::vector<HWND>(window.children)) {
        if (Window* c = findLocked(child))
            destroyLocked(*c);
    }
    if (window.isChild()) {
        if (Window* parent = findLocked(window.parent))
            std::erase(parent->children, hwnd);
    }
    forgetLocked(hwnd);
}

void WindowManager::forgetLocked(HWND hwnd)
{
    m_kernel.mutex().assertHeld();
    std::erase_if(m_timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
    dropQueuedForLocked(hwnd);
    std::erase(m_zOrder, hwnd);
    if (m_focus == hwnd)
        m_focus = nullptr;
    for (auto& [other, w] : m_windows) {
        if (w->owner == hwnd)
            w->owner = nullptr;
    }
    m_windows.erase(hwnd);
    if (m_foundHandle == hwnd)
        m_found = nullptr;
    if (m_foreground == hwnd)
        activateNextLocked(hwnd);
    m_kernel.signalLocked();
}

void WindowManager::endWindowsLocked(const std::function<bool(const Window&)>& doomed)
{
    m_kernel.mutex().assertHeld();
    std::vector<HWND> ending;
    for (const auto& [hwnd, w] : m_windows) {
        if (doomed(*w))
            ending.push_back(hwnd);
    }
    // Windows that go with their process pass the activation to no one, as on Windows: had one of
    // them held it, no window is foreground afterwards, and none of them becomes foreground on the way.
    if (std::find(ending.begin(), ending.end(), m_foreground) != ending.end())
        m_foreground = nullptr;
    for (HWND hwnd : ending) {
        if (Window* w = findLocked(hwnd)) {
            if (w->visible && !w->isChild())
                showLocked(*w, false);
            destroyLocked(*w);
        }
    }
    // Senders waiting on a thread that will never answer get 0.
    for (auto& [thread, queue] : m_queues) {
        if (m_kernel.scheduler().threadAliveLocked(thread))
            continue;
        for (auto& sent : queue.sent)
            sent->done = true;
        queue.sent.clear();
    }
}

}  // namespace velorin::window
