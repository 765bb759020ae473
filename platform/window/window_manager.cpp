#include "window/window_manager.hpp"

#include "boot/device.hpp"
#include "trace/trace_recorder.hpp"
#include "window/message_names.hpp"

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace velorin::window {

namespace {

std::wstring upper(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towupper(c); });
    return text;
}

bool sameTextNoCase(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && upper(a) == upper(b);
}

std::string hex(HWND hwnd)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    return buf;
}

RECT intersect(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

RECT unite(const RECT& a, const RECT& b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool empty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace

WindowManager& windowManager()
{
    return kernel::Kernel::current().device().windows();
}

WindowManager::WindowManager(kernel::Kernel& kernel, display::Display& display) : m_kernel(kernel), m_display(display)
{
    kernel.addProcessExitHook([this](kernel::ProcessId pid) { processEndedLocked(pid); });
    for (const auto& [value, name] : systemMessageNames())
        m_messageNames[value] = name;
    registerSystemClasses();
}

bool WindowManager::registerClass(const WindowClass& windowClass)
{
    std::lock_guard lock(m_kernel.mutex());
    return m_classes.emplace(upper(windowClass.name), windowClass).second;
}

Window* WindowManager::findLocked(HWND hwnd)
{
    const auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second.get();
}

const Window* WindowManager::findLocked(HWND hwnd) const
{
    const auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second.get();
}

bool WindowManager::exists(HWND hwnd)
{
    std::lock_guard lock(m_kernel.mutex());
    return findLocked(hwnd) != nullptr;
}

Window& WindowManager::topLevelLocked(Window& window)
{
    Window* w = &window;
    while (w->isChild()) {
        Window* parent = findLocked(w->parent);
        if (!parent)
            break;
        w = parent;
    }
    return *w;
}

NonClient WindowManager::nonClientLocked(const Window& window) const
{
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
    const NonClient nc = nonClientLocked(window);
    const LONG width = window.rect.right - window.rect.left - nc.left - nc.right;
    const LONG height = window.rect.bottom - window.rect.top - nc.top - nc.bottom;
    return RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
}

RECT WindowManager::clientInSurfaceLocked(const Window& window)
{
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

std::optional<gdi::WindowTarget> WindowManager::windowTargetLocked(HWND hwnd)
{
    Window* w = findLocked(hwnd);
    if (!w)
        return std::nullopt;
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

RECT WindowManager::screenRectLocked(const Window& window)
{
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

bool WindowManager::isShownLocked(const Window& window)
{
    const Window* w = &window;
    while (w) {
        if (!w->visible)
            return false;
        w = w->isChild() ? findLocked(w->parent) : nullptr;
    }
    return true;
}

HWND WindowManager::findTopLevelLocked(const std::wstring* className, const std::wstring* title) const
{
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
    for (HWND hwnd : m_zOrder) {
        const Window* w = findLocked(hwnd);
        if (w && !w->owner && sameTextNoCase(w->text, title))
            return hwnd;
    }
    return nullptr;
}

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
        if ((style & WS_CHILD) && parentWindow) {
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
        if (Window* w = findLocked(hwnd))
            showLocked(*w, true);
    }
    return hwnd;
}

bool WindowManager::destroy(HWND hwnd)
{
    std::vector<HWND> order;
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
    std::erase_if(m_timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
    for (auto& [thread, queue] : m_queues)
        std::erase_if(queue.posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    std::erase(m_zOrder, hwnd);
    if (m_focus == hwnd)
        m_focus = nullptr;
    m_windows.erase(hwnd);
    if (m_foreground == hwnd)
        activateNextLocked(hwnd);
    m_kernel.signalLocked();
}

void WindowManager::processEndedLocked(kernel::ProcessId pid)
{
    std::vector<HWND> doomed;
    for (const auto& [hwnd, w] : m_windows) {
        if (w->pid == pid && !w->isChild())
            doomed.push_back(hwnd);
    }
    for (HWND hwnd : doomed) {
        if (Window* w = findLocked(hwnd)) {
            if (w->visible)
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

void WindowManager::traceLocked(std::string_view event, const Window& window, std::string_view extra)
{
    std::string args = "hwnd=" + hex(window.hwnd);
    if (!extra.empty()) {
        args += ' ';
        args += extra;
    }
    m_kernel.effectLocked(event, args);
}

void WindowManager::setTextLocked(Window& window, std::wstring text)
{
    const bool changed = window.text != text;
    window.text = std::move(text);
    if (tracedLocked(window) && changed)
        traceLocked("window.title", window, trace::quoted(window.text));
    if (window.isChild() || nonClientLocked(window).caption)
        invalidateLocked(window, std::nullopt, true);
}

bool WindowManager::showLocked(Window& window, bool visible)
{
    const bool was = window.visible;
    if (was == visible)
        return was;
    window.visible = visible;
    if (tracedLocked(window))
        traceLocked(visible ? "window.show" : "window.hide", window);
    if (visible) {
        invalidateLocked(window, std::nullopt, true);
    } else if (!window.isChild() && m_foreground == window.hwnd) {
        activateNextLocked(window.hwnd);
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

void WindowManager::setForegroundLocked(HWND hwnd)
{
    Window* w = findLocked(hwnd);
    if (!w)
        return;
    Window& top = topLevelLocked(*w);
    raiseLocked(top);
    if (m_foreground == top.hwnd)
        return;
    m_foreground = top.hwnd;
    traceLocked("window.foreground", top);
    if (m_focus) {
        Window* focus = findLocked(m_focus);
        if (!focus || topLevelLocked(*focus).hwnd != top.hwnd)
            m_focus = nullptr;
    }
}

void WindowManager::activateNextLocked(HWND leaving)
{
    m_foreground = nullptr;
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

void WindowManager::moveLocked(Window& window, RECT rect, bool repaint)
{
    const RECT old = window.rect;
    window.rect = rect;
    if (window.surface)
        window.surface->resize(rect.right - rect.left, rect.bottom - rect.top, window.background);
    if (repaint || old.right - old.left != rect.right - rect.left || old.bottom - old.top != rect.bottom - rect.top)
        invalidateLocked(window, std::nullopt, true);
}

bool WindowManager::enableLocked(Window& window, bool enable)
{
    const bool wasDisabled = !window.enabled;
    window.enabled = enable;
    if (!enable && m_focus) {
        Window* focus = findLocked(m_focus);
        if (focus && (focus == &window || isDescendantLocked(focus->hwnd, window.hwnd)))
            m_focus = nullptr;
    }
    return wasDisabled;
}

void WindowManager::invalidateLocked(Window& window, std::optional<RECT> rect, bool erase)
{
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
    for (HWND hwnd : m_zOrder) {
        if (Window* w = findLocked(hwnd))
            invalidateLocked(*w, std::nullopt, true);
    }
}

bool WindowManager::isDescendantLocked(HWND window, HWND ancestor)
{
    const Window* w = findLocked(window);
    while (w && w->isChild()) {
        if (w->parent == ancestor)
            return true;
        w = findLocked(w->parent);
    }
    return false;
}

bool WindowManager::matches(const MSG& message, HWND filter, UINT first, UINT last)
{
    if (filter && message.hwnd != filter && !isDescendantLocked(message.hwnd, filter))
        return false;
    if (first == 0 && last == 0)
        return true;
    return message.message >= first && message.message <= last;
}

bool WindowManager::postToThreadLocked(kernel::ThreadId thread, const MSG& message)
{
    queueLocked(thread).posted.push_back(message);
    m_kernel.signalLocked();
    return true;
}

bool WindowManager::post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard lock(m_kernel.mutex());
    const auto now = static_cast<DWORD>(m_kernel.scheduler().nowLocked());
    if (!hwnd) {
        const kernel::ThreadId thread = m_kernel.scheduler().currentId();
        return postToThreadLocked(thread, MSG{nullptr, message, wParam, lParam, now, {}});
    }
    Window* w = findLocked(hwnd);
    if (!w) {
        kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return postToThreadLocked(w->thread, MSG{hwnd, message, wParam, lParam, now, {}});
}

void WindowManager::postQuit(int code)
{
    std::lock_guard lock(m_kernel.mutex());
    queueLocked(m_kernel.scheduler().currentId()).quitCode = code;
    m_kernel.signalLocked();
}

kernel::DeviceTime WindowManager::nextTimerLocked(kernel::ThreadId thread) const
{
    kernel::DeviceTime next = kernel::kForever;
    for (const Timer& t : m_timers) {
        if (t.thread == thread)
            next = std::min(next, t.due);
    }
    return next;
}

std::optional<MSG> WindowManager::takeLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last, bool remove)
{
    ThreadQueue& queue = queueLocked(thread);
    const auto now = m_kernel.scheduler().nowLocked();
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!matches(*it, filter, first, last))
            continue;
        MSG message = *it;
        if (remove)
            queue.posted.erase(it);
        return message;
    }
    // WM_QUIT belongs to no window: a window filter does not hold it back, a range may.
    if (queue.quitCode && ((first == 0 && last == 0) || (first <= WM_QUIT && WM_QUIT <= last))) {
        MSG quit{nullptr, WM_QUIT, static_cast<WPARAM>(*queue.quitCode), 0, static_cast<DWORD>(now), {}};
        if (remove)
            queue.quitCode.reset();
        return quit;
    }
    // Paint and timer messages are made only when nothing else waits; parents paint first.
    for (const auto& [hwnd, w] : m_windows) {
        if (w->thread != thread || !w->invalid || !isShownLocked(*w))
            continue;
        MSG paint{hwnd, WM_PAINT, 0, 0, static_cast<DWORD>(now), {}};
        if (matches(paint, filter, first, last))
            return paint;
    }
    Timer* due = nullptr;
    for (Timer& t : m_timers) {
        if (t.thread == thread && t.due <= now && (!due || t.due < due->due)) {
            MSG probe{t.hwnd, WM_TIMER, t.id, 0, 0, {}};
            if (matches(probe, filter, first, last))
                due = &t;
        }
    }
    if (!due)
        return std::nullopt;
    MSG tick{due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc), static_cast<DWORD>(now), {}};
    if (remove) {
        // At most one tick is owed; the next falls on the first whole period after now.
        const kernel::DeviceTime periods = (now - due->due) / due->period + 1;
        due->due += periods * due->period;
    }
    return tick;
}

bool WindowManager::readyLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last)
{
    const ThreadQueue& queue = queueLocked(thread);
    if (!queue.sent.empty())
        return true;
    return takeLocked(thread, filter, first, last, false).has_value();
}

bool WindowManager::runOneSentMessage(std::unique_lock<std::mutex>& lock, kernel::ThreadId thread)
{
    ThreadQueue& queue = queueLocked(thread);
    if (queue.sent.empty())
        return false;
    std::shared_ptr<SentMessage> sent = queue.sent.front();
    queue.sent.pop_front();
    lock.unlock();
    const LRESULT result = callProcedure(sent->hwnd, sent->message, sent->wParam, sent->lParam);
    lock.lock();
    sent->result = result;
    sent->done = true;
    m_kernel.signalLocked();
    return true;
}

bool WindowManager::getMessage(MSG& message, HWND filter, UINT first, UINT last)
{
    std::unique_lock lock(m_kernel.mutex());
    const kernel::ThreadId thread = m_kernel.scheduler().currentId();
    for (;;) {
        if (runOneSentMessage(lock, thread))
            continue;
        if (auto taken = takeLocked(thread, filter, first, last, true)) {
            message = *taken;
            return message.message != WM_QUIT;
        }
        const std::function<bool()> ready = [&] { return readyLocked(thread, filter, first, last); };
        m_kernel.scheduler().block(lock, ready, nextTimerLocked(thread));
    }
}

bool WindowManager::peekMessage(MSG& message, HWND filter, UINT first, UINT last, bool remove)
{
    std::unique_lock lock(m_kernel.mutex());
    const kernel::ThreadId thread = m_kernel.scheduler().currentId();
    while (runOneSentMessage(lock, thread)) {
    }
    auto taken = takeLocked(thread, filter, first, last, remove);
    if (!taken)
        return false;
    message = *taken;
    return true;
}

LRESULT WindowManager::callProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = nullptr;
    {
        std::lock_guard lock(m_kernel.mutex());
        if (const Window* w = findLocked(hwnd))
            proc = w->proc;
    }
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

LRESULT WindowManager::send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool* delivered)
{
    std::unique_lock lock(m_kernel.mutex());
    Window* w = findLocked(hwnd);
    if (delivered)
        *delivered = w != nullptr;
    if (!w) {
        kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const kernel::ThreadId me = m_kernel.scheduler().currentId();
    if (w->thread == me) {
        lock.unlock();
        return callProcedure(hwnd, message, wParam, lParam);
    }
    // Another thread's window: it runs when that thread next retrieves messages; meanwhile this
    // thread answers what is sent to it, so two threads sending to each other do not lock up.
    auto sent = std::make_shared<SentMessage>(SentMessage{hwnd, message, wParam, lParam, 0, false});
    const kernel::ThreadId target = w->thread;
    queueLocked(target).sent.push_back(sent);
    m_kernel.signalLocked();
    for (;;) {
        if (sent->done)
            return sent->result;
        if (!findLocked(hwnd) || !m_kernel.scheduler().threadAliveLocked(target))
            return 0;
        if (runOneSentMessage(lock, me))
            continue;
        const std::function<bool()> ready = [&] {
            return sent->done || !queueLocked(me).sent.empty() || !findLocked(hwnd) ||
                   !m_kernel.scheduler().threadAliveLocked(target);
        };
        m_kernel.scheduler().block(lock, ready, kernel::kForever);
    }
}

LRESULT WindowManager::dispatch(const MSG& message)
{
    {
        std::lock_guard lock(m_kernel.mutex());
        if (m_kernel.trace().wantsCalls()) {
            std::string args = "hwnd=" + hex(message.hwnd) + " " + messageName(message.message) +
                               " wparam=" + std::to_string(message.wParam) +
                               " lparam=" + std::to_string(message.lParam);
            m_kernel.trace().detail(m_kernel.scheduler().nowLocked(), "dispatch", args);
        }
        const bool threadTimer = message.message == WM_TIMER && message.lParam != 0;
        if (!threadTimer && (!message.hwnd || !findLocked(message.hwnd)))
            return 0;
    }
    if (message.message == WM_TIMER && message.lParam != 0) {
        const auto proc = reinterpret_cast<TIMERPROC>(message.lParam);
        proc(message.hwnd, WM_TIMER, message.wParam, message.time);
        return 0;
    }
    return callProcedure(message.hwnd, message.message, message.wParam, message.lParam);
}

bool WindowManager::translate(const MSG& message)
{
    if (message.message != WM_KEYDOWN)
        return false;
    const auto vk = static_cast<UINT>(message.wParam);
    if (vk != VK_ESCAPE && vk != VK_RETURN && !(vk >= 0x20 && vk < 0x7F))
        return false;
    std::lock_guard lock(m_kernel.mutex());
    Window* w = findLocked(message.hwnd);
    if (!w)
        return false;
    return postToThreadLocked(w->thread, MSG{message.hwnd, WM_CHAR, vk, message.lParam, message.time, {}});
}

UINT_PTR WindowManager::setTimerLocked(HWND hwnd, UINT_PTR id, UINT period, TIMERPROC proc)
{
    constexpr UINT kMinimumPeriod = 10;
    period = std::max(period, kMinimumPeriod);
    kernel::ThreadId thread = m_kernel.scheduler().currentId();
    if (hwnd) {
        Window* w = findLocked(hwnd);
        if (!w) {
            kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        thread = w->thread;
    } else {
        id = m_nextThreadTimer++;
    }
    const kernel::DeviceTime due = m_kernel.scheduler().nowLocked() + period;
    for (Timer& t : m_timers) {
        if (t.hwnd == hwnd && t.id == id && hwnd) {
            t = Timer{hwnd, id, period, due, proc, thread};
            m_kernel.signalLocked();
            return id;
        }
    }
    m_timers.push_back(Timer{hwnd, id, period, due, proc, thread});
    m_kernel.signalLocked();
    return id;
}

bool WindowManager::killTimerLocked(HWND hwnd, UINT_PTR id)
{
    const auto removed = std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (removed == 0) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

LRESULT WindowManager::defWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_CLOSE:
        destroy(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            send(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        if (beginPaint(hwnd, paint))
            endPaint(paint);
        return 0;
    }
    case WM_ERASEBKGND: {
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
    case WM_SETICON: {
        std::lock_guard lock(m_kernel.mutex());
        Window* w = findLocked(hwnd);
        if (!w)
            return 0;
        HICON& slot = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
        const HICON previous = slot;
        slot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON: {
        std::lock_guard lock(m_kernel.mutex());
        const Window* w = findLocked(hwnd);
        if (!w)
            return 0;
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->iconBig : w->iconSmall);
    }
    case WM_SETTEXT: {
        std::lock_guard lock(m_kernel.mutex());
        Window* w = findLocked(hwnd);
        if (!w)
            return FALSE;
        setTextLocked(*w, lParam ? std::wstring(reinterpret_cast<LPCWSTR>(lParam)) : std::wstring());
        return TRUE;
    }
    default:
        return 0;
    }
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
        dc = m_kernel.device().gdi().openWindowDCLocked(hwnd, area);
    }
    const bool erased = erase && dc && send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) != 0;
    paint = PAINTSTRUCT{dc, erase && !erased ? TRUE : FALSE, area, FALSE, FALSE, {}};
    return dc;
}

bool WindowManager::endPaint(const PAINTSTRUCT& paint)
{
    std::lock_guard lock(m_kernel.mutex());
    return m_kernel.device().gdi().releaseWindowDCLocked(paint.hdc);
}

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

gdi::Surface WindowManager::composeScreen()
{
    std::lock_guard lock(m_kernel.mutex());
    gdi::Surface screen(m_display.width(), m_display.height(), 0);
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

void WindowManager::nameMessage(UINT message, std::string name)
{
    std::lock_guard lock(m_kernel.mutex());
    m_messageNames[message] = std::move(name);
}

std::string WindowManager::messageName(UINT message) const
{
    const auto it = m_messageNames.find(message);
    if (it != m_messageNames.end())
        return it->second;
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", message);
    return buf;
}

}  // namespace velorin::window
