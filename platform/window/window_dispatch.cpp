// Calling window procedures: messages sent within and across threads, dispatch of retrieved
// messages with their trace lines, and the default window procedure.
#include "window/window_manager.hpp"

#include "trace/trace_recorder.hpp"
#include "window/window_text.hpp"

#include <algorithm>
#include <cstdio>

namespace velorin::window {

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

bool WindowManager::runOneSentMessage(std::unique_lock<kernel::DeviceMutex>& lock, kernel::ThreadId thread)
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

LRESULT WindowManager::dispatch(const MSG& message)
{
    bool timerCallback = false;
    {
        std::lock_guard lock(m_kernel.mutex());
        if (m_kernel.trace().wantsCalls()) {
            std::string args = "hwnd=" + hex(message.hwnd) + " " + messageName(message.message) +
                               " wparam=" + std::to_string(message.wParam) +
                               " lparam=" + std::to_string(message.lParam);
            m_kernel.trace().detail(m_kernel.scheduler().nowLocked(), "dispatch", args);
        }
        // A WM_TIMER's lParam is called only when it is the callback of one of this thread's
        // timers, as Windows checks it: a posted WM_TIMER with any other lParam calls nothing.
        const auto proc = reinterpret_cast<TIMERPROC>(message.lParam);
        const kernel::ThreadId thread = m_kernel.scheduler().currentId();
        timerCallback = message.message == WM_TIMER && proc &&
                        std::any_of(m_timers.begin(), m_timers.end(), [&](const Timer& t) {
                            return t.thread == thread && t.hwnd == message.hwnd && t.id == message.wParam &&
                                   t.proc == proc;
                        });
        if (!timerCallback) {
            if (!message.hwnd)
                return 0;
            const Window* target = findLocked(message.hwnd);
            if (!target) {
                kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
                return 0;
            }
            // Another thread's window takes messages only through its own queue or a send.
            if (target->thread != thread) {
                kernel::setLastError(ERROR_MESSAGE_SYNC_ONLY);
                return 0;
            }
        }
    }
    if (timerCallback) {
        reinterpret_cast<TIMERPROC>(message.lParam)(message.hwnd, WM_TIMER, message.wParam, message.time);
        return 0;
    }
    return callProcedure(message.hwnd, message.message, message.wParam, message.lParam);
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
    case WM_ERASEBKGND:
        return eraseBackground(hwnd);
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
