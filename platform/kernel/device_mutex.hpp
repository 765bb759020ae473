// The lock of the whole device. std::mutex cannot say who holds it; this one can, in the builds
// that check invariants, so that every ...Locked function can make sure its caller took it.
#pragma once

#include "kernel/invariant.hpp"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <type_traits>

namespace velorin::kernel {

class DeviceMutex {
public:
    void lock()
    {
        m_mutex.lock();
        taken();
    }
    bool try_lock()
    {
        if (!m_mutex.try_lock())
            return false;
        taken();
        return true;
    }
    void unlock()
    {
        given();
        m_mutex.unlock();
    }

    // Aborts, naming the caller, unless the calling host thread holds the lock. Device threads
    // of the serial modes share their host thread, but hand the CPU over only with the lock let
    // go (Scheduler::switchLocked), so the host's hold is the running device thread's.
    void assertHeld(CheckSite where = {}) const
    {
        if constexpr (kCheckInvariants) {
            if (m_holder.load(std::memory_order_relaxed) != std::this_thread::get_id())
                invariantFailed("the device's lock is held by the caller", where);
        }
    }

    // Waits on `condition` with `lock` (of this mutex) held, as std::condition_variable does
    // with a std::mutex; holds the lock again on return.
    void wait(std::condition_variable& condition, std::unique_lock<DeviceMutex>& lock)
    {
        lend(lock, [&](std::unique_lock<std::mutex>& inner) { condition.wait(inner); });
    }
    template <class Clock, class Duration>
    void waitUntil(std::condition_variable& condition, std::unique_lock<DeviceMutex>& lock,
                   const std::chrono::time_point<Clock, Duration>& until)
    {
        lend(lock, [&](std::unique_lock<std::mutex>& inner) { condition.wait_until(inner, until); });
    }

private:
    void taken()
    {
        if constexpr (kCheckInvariants)
            m_holder.store(std::this_thread::get_id(), std::memory_order_relaxed);
    }
    void given()
    {
        if constexpr (kCheckInvariants)
            m_holder.store(std::thread::id(), std::memory_order_relaxed);
    }
    // The wait lets the lock go inside: the holder is off for that time.
    template <class Wait> void lend(std::unique_lock<DeviceMutex>& lock, Wait&& wait)
    {
        check(lock.mutex() == this && lock.owns_lock(), "a wait holds the lock it lends");
        assertHeld();
        given();
        std::unique_lock<std::mutex> inner(m_mutex, std::adopt_lock);
        wait(inner);
        inner.release();
        taken();
    }

    // Where nothing is checked: no field, and what reads and writes it does nothing.
    struct NoHolder {
        std::thread::id load(std::memory_order) const { return {}; }
        void store(std::thread::id, std::memory_order) {}
    };
    std::mutex m_mutex;
    // Only this thread ever writes its own id, so a relaxed read that finds it is exact.
    [[no_unique_address]] std::conditional_t<kCheckInvariants, std::atomic<std::thread::id>, NoHolder> m_holder;
};

}  // namespace velorin::kernel
