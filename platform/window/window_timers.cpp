// Timers: SetTimer and KillTimer, and the WM_TIMER a thread is owed.
#include "window/window_manager.hpp"

#include <algorithm>

namespace velorin::window {

UINT_PTR WindowManager::setTimerLocked(HWND hwnd, UINT_PTR id, UINT period, TIMERPROC proc)
{
    m_kernel.mutex().assertHeld();
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
        // CE ignores the id of a timer without a window: each such call makes a new one.
        id = m_nextThreadTimer++;
    }
    const kernel::DeviceTime due = m_kernel.scheduler().nowLocked() + period;
    // A window's timer answers nonzero even when its id is 0, which its ticks still carry.
    const UINT_PTR answer = id != 0 ? id : 1;
    for (Timer& t : m_timers) {
        if (t.hwnd == hwnd && t.id == id && hwnd) {
            t = Timer{hwnd, id, period, due, proc, thread};
            m_kernel.signalLocked();
            return answer;
        }
    }
    m_timers.push_back(Timer{hwnd, id, period, due, proc, thread});
    m_kernel.signalLocked();
    return answer;
}

bool WindowManager::killTimerLocked(HWND hwnd, UINT_PTR id)
{
    m_kernel.mutex().assertHeld();
    const auto removed = std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (removed == 0) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

kernel::DeviceTime WindowManager::nextTimerLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last)
{
    m_kernel.mutex().assertHeld();
    // Only the ticks the wait can take: a due one that the filter leaves out would keep the
    // thread waking for nothing, and device time would never move on.
    kernel::DeviceTime next = kernel::kForever;
    for (const Timer& t : m_timers) {
        const MSG probe{t.hwnd, WM_TIMER, t.id, 0, 0, {}};
        if (t.thread == thread && matches(probe, filter, first, last))
            next = std::min(next, t.due);
    }
    return next;
}

std::optional<MSG> WindowManager::dueTimerLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last,
                                                 bool remove, kernel::DeviceTime now)
{
    m_kernel.mutex().assertHeld();
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

}  // namespace velorin::window
