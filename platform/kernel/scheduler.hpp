// The one scheduler of a device: every device thread, one clock, and who runs next.
#pragma once

#include "kernel/device_mutex.hpp"
#include "kernel/device_time.hpp"
#include "kernel/fiber.hpp"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace velorin::kernel {

enum class ClockMode { Virtual, Wall };
// Serial: one device thread runs at a time and gives up the CPU only while blocked. Device
// threads are then fibers on the controller's host thread: a hand-over is a context switch
// within the process, whatever the host's load.
// Preemptive: serial, and every platform call of a program may also hand the CPU to another
// runnable thread and costs a little device time, both drawn from the seed (for races).
// Free: device threads are host threads and run at the same time (for race detection).
enum class RunMode { Serial, Preemptive, Free };

// What a platform call costs in the preemptive mode, in microseconds: device time moves in
// whole milliseconds outside, finer inside.
inline constexpr std::uint32_t kCallCostMinMicros = 10;
inline constexpr std::uint32_t kCallCostMaxMicros = 60;

// A program thread that makes this many platform calls without blocking has used a millisecond
// of the CPU, and gives it up: on a device, time passes while a program runs, so a program that
// polls (PeekMessage, GetTickCount) must see it move. Programs that block never reach it.
inline constexpr std::uint32_t kCallsPerBusyMillisecond = 100;

using ThreadId = std::uint32_t;
using ProcessId = std::uint32_t;
inline constexpr ProcessId kSystemProcess = 0;

// Unwinds a device thread whose process has ended; caught only at the thread's entry.
struct ThreadKilled {};

// What a device thread keeps to itself, as a host thread would in thread-local storage: the
// serial modes run every device thread on one host thread, so this travels with the device
// thread. `kernel` is the device the thread belongs to.
struct ThreadLocals {
    void* kernel = nullptr;
    std::uint32_t lastError = 0;
};
// The calling device thread's, or the calling host thread's own when it runs none.
ThreadLocals& threadLocals();

enum class WakeReason { Ready, TimedOut };

struct SchedulerOptions {
    ClockMode clock = ClockMode::Virtual;
    RunMode run = RunMode::Serial;
    std::uint64_t seed = 1;
};

class Scheduler {
public:
    struct Thread;

    explicit Scheduler(SchedulerOptions options);
    ~Scheduler();
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // The lock of the whole kernel: every object that a wait looks at is guarded by it.
    DeviceMutex& mutex() { return m_mutex; }

    // Makes the calling host thread the controller: the device thread that drives the device
    // from outside (a test, the scenario player). It runs only when nothing else can.
    void attachController();
    // Makes this device the one that the controller's platform calls go to, when one host
    // thread drives several devices.
    void enterAsController();

    // Starts a device thread. `onExit` runs under the lock when the body has returned or unwound.
    ThreadId spawn(std::string name, ProcessId pid, bool suspendable, std::function<void()> body,
                   std::function<void(ThreadId)> onExit);

    // Blocks the calling device thread until `ready()` holds or `deadline` passes. Called with
    // the lock held; returns with it held and `ready()` true, unless it timed out.
    // Throws ThreadKilled once the thread's process has ended.
    WakeReason block(std::unique_lock<DeviceMutex>& lock, const std::function<bool()>& ready, DeviceTime deadline);
    // Lets every runnable thread run, then advances time until `until`; controller only. With
    // preemption the controller's moment may come while others are still busy.
    void runUntil(DeviceTime until);
    // Lets every runnable thread run until none is, without moving time on purpose (calls still
    // cost theirs with preemption); controller only.
    void runUntilIdle();

    // A waited-for state has changed (under the lock).
    void notifyLocked();

    // A platform call of a program thread begins (under the lock): in the preemptive mode it
    // costs its device time and another runnable thread may run first.
    void preemptionPointLocked(std::unique_lock<DeviceMutex>& lock);
    // A platform call of a program thread begins (under the lock), in the serial and free
    // modes: it counts towards the thread's busy millisecond and, once that is spent, sleeps it.
    void busyCallLocked(std::unique_lock<DeviceMutex>& lock);

    // Ends every thread of a process at its next platform call (under the lock).
    void killProcessLocked(ProcessId pid);
    // Freezes or thaws every suspendable thread (under the lock).
    void setSuspendedLocked(bool suspended);
    bool suspendedLocked() const
    {
        m_mutex.assertHeld();
        return m_suspended;
    }

    DeviceTime now() const;
    DeviceTime nowLocked() const
    {
        m_mutex.assertHeld();
        return m_now;
    }
    RunMode runMode() const { return m_options.run; }

    // The device thread the calling host thread is, or null.
    static Thread* current();
    ThreadId currentId() const;
    ProcessId currentProcess() const;
    // What a platform call asks of its caller at its entry, in one look.
    struct Caller {
        ProcessId pid = kSystemProcess;
        bool killed = false;
        bool unwinding = false;
    };
    Caller caller() const;
    // Whether the calling thread's process has ended (under the lock).
    bool currentIsKilled() const;
    // Starts unwinding the calling thread of an ended process.
    [[noreturn]] void unwindCurrent();
    // Where that unwinding cannot go on (std::terminate): ends the calling thread without it, in
    // the serial modes; returns only when it cannot.
    void endKilledCurrent();
    // Whether a device thread is still alive (under the lock).
    bool threadAliveLocked(ThreadId id) const;
    // Whether any thread of a process has not yet stopped (under the lock).
    bool hasLiveThreadsLocked(ProcessId pid) const;

    // Stops every thread (kills all processes and system workers) and joins them; controller only.
    void shutdown();

    // How often each device thread has given up the CPU and been woken again: what the device's
    // activity costs its host, counted exactly in either clock.
    struct ThreadActivity {
        ThreadId id = 0;
        std::string name;
        ProcessId pid = kSystemProcess;
        bool controller = false;
        std::uint64_t wakeups = 0;
    };
    std::vector<ThreadActivity> activityLocked() const;

private:
    enum class State { Runnable, Running, Blocked, Done };

    Thread* self() const;
    bool serial() const { return m_options.run != RunMode::Free; }
    bool preemptive() const { return m_options.run == RunMode::Preemptive; }
    void chargeLocked(std::uint32_t micros);
    bool eligibleLocked(const Thread& t) const;
    bool othersBusyLocked(const Thread& self, bool countBusySleepers) const;
    Thread* pickLocked();
    void advanceClockLocked(std::unique_lock<DeviceMutex>& lock);
    // The serial modes: the calling thread `me` has stopped running; runs the next thread
    // picked (moving time when none is) and returns once `me` is picked again.
    void handOverLocked(std::unique_lock<DeviceMutex>& lock, Thread& me);
    // The serial modes: the next thread to run, moving time until there is one.
    Thread& nextToRunLocked(std::unique_lock<DeviceMutex>& lock);
    void switchLocked(Thread& from, Thread& to);
    // Frees the stacks of fibers that have ended (never the running one's).
    void reapLocked();
    void finishLocked(std::unique_lock<DeviceMutex>& lock, Thread& t);
    void runBody(Thread& t);
    void runHostThread(Thread& t);
    static void runFiber(void* thread);

    SchedulerOptions m_options;
    mutable DeviceMutex m_mutex;
    std::condition_variable m_freeWake;
    std::vector<std::unique_ptr<Thread>> m_threads;
    std::mt19937_64 m_rng;
    DeviceTime m_now = 0;
    std::uint32_t m_nowMicros = 0;  // below m_now's millisecond, the preemptive mode only
    std::vector<std::unique_ptr<Fiber>> m_endedFibers;
    Thread* m_controller = nullptr;
    std::thread::id m_controllerHost;
    bool m_suspended = false;
    bool m_shuttingDown = false;
    std::chrono::steady_clock::time_point m_wallOrigin;
};

}  // namespace velorin::kernel
