// Per-thread queues: posting, WM_QUIT, TranslateMessage's WM_CHAR, the filters, and retrieval in the
// system's order by GetMessage and PeekMessage.
#include "window/window_manager.hpp"

#include "window/keyboard_layout.hpp"

#include <algorithm>

namespace velorin::window {

namespace {

// The system's messages whose parameters point into the sender's memory: a queue would keep the
// pointer after the memory is gone, so they can only be sent.
bool carriesPointer(UINT message)
{
    return message == WM_CREATE || message == WM_SETTEXT || message == WM_GETTEXT || message == WM_SETTINGCHANGE;
}

// A broadcast reaches other programs, so only messages that every program reads alike go out:
// the system's own and registered ones, not the private range between.
bool broadcastable(UINT message)
{
    constexpr UINT kFirstRegistered = 0xC000;
    return message < WM_USER || message >= kFirstRegistered;
}

// Filters that take only the thread's own messages, those with no window: -1 as documented,
// and 1 and 0xFFFF as Windows takes them too.
bool threadMessagesOnly(HWND filter)
{
    const auto value = reinterpret_cast<LONG_PTR>(filter);
    return value == -1 || value == 1 || value == 0xFFFF;
}

}  // namespace

bool WindowManager::postToThreadLocked(kernel::ThreadId thread, const MSG& message)
{
    m_kernel.mutex().assertHeld();
    queueLocked(thread).posted.push_back(message);
    m_kernel.signalLocked();
    return true;
}

bool WindowManager::post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard lock(m_kernel.mutex());
    if (carriesPointer(message)) {
        kernel::setLastError(ERROR_MESSAGE_SYNC_ONLY);
        return false;
    }
    const auto now = static_cast<DWORD>(m_kernel.scheduler().nowLocked());
    // -1 broadcasts as well, as Windows takes it.
    if (hwnd == HWND_BROADCAST || hwnd == reinterpret_cast<HWND>(LONG_PTR{-1})) {
        if (!broadcastable(message))
            return true;
        for (const HWND top : m_zOrder) {
            if (const Window* w = findLocked(top))
                postToThreadLocked(w->thread, MSG{top, message, wParam, lParam, now, {}});
        }
        return true;
    }
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

bool WindowManager::postThreadMessage(kernel::ThreadId thread, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard lock(m_kernel.mutex());
    if (carriesPointer(message)) {
        kernel::setLastError(ERROR_MESSAGE_SYNC_ONLY);
        return false;
    }
    // A thread has a queue once it has used the window manager: taken or been sent messages, or
    // made a window.
    const bool ownsWindow = std::any_of(m_windows.begin(), m_windows.end(),
                                        [thread](const auto& entry) { return entry.second->thread == thread; });
    if (!m_kernel.scheduler().threadAliveLocked(thread) || (!m_queues.contains(thread) && !ownsWindow)) {
        kernel::setLastError(ERROR_INVALID_THREAD_ID);
        return false;
    }
    const auto now = static_cast<DWORD>(m_kernel.scheduler().nowLocked());
    return postToThreadLocked(thread, MSG{nullptr, message, wParam, lParam, now, {}});
}

void WindowManager::postQuit(int code)
{
    std::lock_guard lock(m_kernel.mutex());
    queueLocked(m_kernel.scheduler().currentId()).quitCode = code;
    m_kernel.signalLocked();
}

void WindowManager::dropQueuedForLocked(HWND hwnd)
{
    m_kernel.mutex().assertHeld();
    for (auto& [thread, queue] : m_queues) {
        // Only the first such WM_QUIT outlives the window, and as PostQuitMessage leaves one:
        // with no window and no lParam.
        const auto quit = std::find_if(queue.posted.begin(), queue.posted.end(),
                                       [hwnd](const MSG& m) { return m.hwnd == hwnd && m.message == WM_QUIT; });
        if (quit != queue.posted.end() && !queue.quitCode)
            queue.quitCode = static_cast<int>(quit->wParam);
        std::erase_if(queue.posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
        std::erase_if(queue.input, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    }
}

void WindowManager::postInputLocked(kernel::ThreadId thread, const MSG& message)
{
    m_kernel.mutex().assertHeld();
    queueLocked(thread).input.push_back(message);
    m_kernel.signalLocked();
}

bool WindowManager::translate(const MSG& message)
{
    // CE answers TRUE for every key press, made into a character or not; a release is no
    // translation.
    if (message.message != WM_KEYDOWN)
        return false;
    const std::optional<WCHAR> character = characterOfKey(static_cast<UINT>(message.wParam));
    if (!character)
        return true;
    std::lock_guard lock(m_kernel.mutex());
    if (Window* w = findLocked(message.hwnd))
        postToThreadLocked(w->thread, MSG{message.hwnd, WM_CHAR, static_cast<WPARAM>(*character), message.lParam, message.time, {}});
    return true;
}

bool WindowManager::matches(const MSG& message, HWND filter, UINT first, UINT last)
{
    if (threadMessagesOnly(filter)) {
        if (message.hwnd)
            return false;
    } else if (filter && message.hwnd != filter && !isDescendantLocked(message.hwnd, filter)) {
        return false;
    }
    if (first == 0 && last == 0)
        return true;
    return message.message >= first && message.message <= last;
}

std::optional<MSG> WindowManager::takeLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last, bool remove)
{
    m_kernel.mutex().assertHeld();
    ThreadQueue& queue = queueLocked(thread);
    const auto now = m_kernel.scheduler().nowLocked();
    // Posted messages first, then input, as CE's GetMessage takes them.
    for (std::deque<MSG>* messages : {&queue.posted, &queue.input}) {
        for (auto it = messages->begin(); it != messages->end(); ++it) {
            if (!matches(*it, filter, first, last))
                continue;
            MSG message = *it;
            if (remove)
                messages->erase(it);
            return message;
        }
    }
    // WM_QUIT belongs to no window and is always retrieved, whatever the window filter or the
    // range: CE's pages are silent on it, and the desktop's say so.
    if (queue.quitCode) {
        MSG quit{nullptr, WM_QUIT, static_cast<WPARAM>(*queue.quitCode), 0, static_cast<DWORD>(now), {}};
        if (remove)
            queue.quitCode.reset();
        return quit;
    }
    // Paint and timer messages are made only when nothing else waits.
    if (auto paint = paintMessageLocked(thread, filter, first, last, now))
        return paint;
    return dueTimerLocked(thread, filter, first, last, remove, now);
}

bool WindowManager::readyLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last)
{
    m_kernel.mutex().assertHeld();
    const ThreadQueue& queue = queueLocked(thread);
    if (!queue.sent.empty())
        return true;
    return takeLocked(thread, filter, first, last, false).has_value();
}

bool WindowManager::filterNamesNoWindowLocked(HWND filter)
{
    m_kernel.mutex().assertHeld();
    if (!filter || threadMessagesOnly(filter) || findLocked(filter))
        return false;
    kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
    return true;
}

BOOL WindowManager::getMessage(MSG& message, HWND filter, UINT first, UINT last)
{
    std::unique_lock lock(m_kernel.mutex());
    const kernel::ThreadId thread = m_kernel.scheduler().currentId();
    // Nothing could ever pass a filter that names no window: fail rather than wait for good.
    if (filterNamesNoWindowLocked(filter))
        return -1;
    for (;;) {
        if (runOneSentMessage(lock, thread))
            continue;
        if (auto taken = takeLocked(thread, filter, first, last, true)) {
            message = *taken;
            return message.message != WM_QUIT ? TRUE : FALSE;
        }
        const std::function<bool()> ready = [&] { return readyLocked(thread, filter, first, last); };
        m_kernel.scheduler().block(lock, ready, nextTimerLocked(thread, filter, first, last));
    }
}

bool WindowManager::peekMessage(MSG& message, HWND filter, UINT first, UINT last, bool remove)
{
    std::unique_lock lock(m_kernel.mutex());
    const kernel::ThreadId thread = m_kernel.scheduler().currentId();
    while (runOneSentMessage(lock, thread)) {
    }
    if (filterNamesNoWindowLocked(filter))
        return false;
    auto taken = takeLocked(thread, filter, first, last, remove);
    if (!taken)
        return false;
    message = *taken;
    return true;
}

}  // namespace velorin::window
