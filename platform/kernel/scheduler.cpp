// The scheduler's threads, its hand-overs, its blocking waits and the clock it moves.
#include "kernel/scheduler.hpp"

#include <algorithm>
#include <cxxabi.h>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace velorin::kernel {

struct Scheduler::Thread {
    ThreadId id = 0;
    std::string name;
    ProcessId pid = kSystemProcess;
    bool suspendable = false;
    bool controller = false;
    State state = State::Runnable;
    const std::function<bool()>* ready = nullptr;  // set while blocked
    DeviceTime deadline = kForever;
    bool killed = false;
    bool unwinding = false;
    std::uint64_t wakeups = 0;
    std::uint32_t callsSinceBlock = 0;
    bool busySleeping = false;  // giving up a busy millisecond, not waiting for anything
    std::function<void()> body;
    std::function<void(ThreadId)> onExit;
    ThreadLocals locals;
    Scheduler* scheduler = nullptr;
    std::unique_ptr<Fiber> fiber;  // the serial modes
    std::thread host;              // the free mode
};

namespace {
thread_local Scheduler::Thread* t_current = nullptr;
thread_local const Scheduler* t_scheduler = nullptr;
thread_local ThreadLocals t_hostLocals;

// A killed device thread unwinds by an exception; one thrown where a program cannot let it
// through (a call made from a destructor, which is noexcept) ends in std::terminate. Ending a
// run or a process must never end the host's process, so in the serial modes such a thread is
// finished where it stands, as the system ends a thread without running its destructors. What
// its frames still owned is not freed.
std::terminate_handler g_hostTerminate = nullptr;

[[noreturn]] void endKilledThreadOrTerminate()
{
    Scheduler::Thread* t = t_current;
    if (t && t_scheduler && t->scheduler == t_scheduler)
        t->scheduler->endKilledCurrent();
    if (g_hostTerminate)
        g_hostTerminate();
    std::abort();
}

void installTerminateGuard()
{
    static const bool installed = [] {
        g_hostTerminate = std::set_terminate(&endKilledThreadOrTerminate);
        return true;
    }();
    (void)installed;
}

}  // namespace

ThreadLocals& threadLocals()
{
    return t_current ? t_current->locals : t_hostLocals;
}

void Scheduler::endKilledCurrent()
{
    Thread* t = self();
    if (!t || t->controller || !t->killed || !serial() || !t->fiber)
        return;
    std::unique_lock lock(m_mutex, std::try_to_lock);
    if (!lock.owns_lock())
        return;  // the kernel's lock was held where it was thrown: nothing is safe to touch
    // std::terminate took the exception as caught; this ends that catch, which frees it.
    if (std::current_exception())
        abi::__cxa_end_catch();
    finishLocked(lock, *t);  // switches away for good
}

Scheduler::Scheduler(SchedulerOptions options)
    : m_options(options), m_rng(options.seed), m_wallOrigin(std::chrono::steady_clock::now())
{
    installTerminateGuard();
}

Scheduler::~Scheduler()
{
    shutdown();
}

Scheduler::Thread* Scheduler::current()
{
    return t_current;
}

Scheduler::Thread* Scheduler::self() const
{
    if (t_scheduler == this)
        return t_current;
    if (m_controller && std::this_thread::get_id() == m_controllerHost)
        return m_controller;
    return nullptr;
}

void Scheduler::enterAsController()
{
    if (m_controller && std::this_thread::get_id() == m_controllerHost) {
        t_current = m_controller;
        t_scheduler = this;
    }
}

ThreadId Scheduler::currentId() const
{
    const Thread* t = self();
    return t ? t->id : 0;
}

ProcessId Scheduler::currentProcess() const
{
    const Thread* t = self();
    return t ? t->pid : kSystemProcess;
}

Scheduler::Caller Scheduler::caller() const
{
    const Thread* t = self();
    return t ? Caller{t->pid, t->killed, t->unwinding} : Caller{};
}

bool Scheduler::currentIsKilled() const
{
    const Thread* t = self();
    return t && t->killed;
}

void Scheduler::unwindCurrent()
{
    if (Thread* t = self())
        t->unwinding = true;
    throw ThreadKilled{};
}

bool Scheduler::threadAliveLocked(ThreadId id) const
{
    m_mutex.assertHeld();
    return std::any_of(m_threads.begin(), m_threads.end(),
                       [id](const auto& t) { return t->id == id && t->state != State::Done; });
}

bool Scheduler::hasLiveThreadsLocked(ProcessId pid) const
{
    m_mutex.assertHeld();
    return std::any_of(m_threads.begin(), m_threads.end(), [pid](const auto& t) {
        return !t->controller && t->pid == pid && t->state != State::Done;
    });
}

DeviceTime Scheduler::now() const
{
    std::lock_guard lock(m_mutex);
    return m_now;
}

void Scheduler::attachController()
{
    std::lock_guard lock(m_mutex);
    auto t = std::make_unique<Thread>();
    t->id = static_cast<ThreadId>(m_threads.size() + 1);
    t->name = "controller";
    t->controller = true;
    t->state = State::Running;
    t->scheduler = this;
    t_current = t.get();
    t_scheduler = this;
    m_controller = t.get();
    m_controllerHost = std::this_thread::get_id();
    if (serial())
        t->fiber = std::make_unique<Fiber>();  // the host thread's own context
    m_threads.push_back(std::move(t));
}

ThreadId Scheduler::spawn(std::string name, ProcessId pid, bool suspendable, std::function<void()> body,
                          std::function<void(ThreadId)> onExit)
{
    // Called under the lock. A fiber starts when it is first picked; a new host thread starts
    // by taking the lock, so it cannot run before the creator has finished registering it.
    auto t = std::make_unique<Thread>();
    t->id = static_cast<ThreadId>(m_threads.size() + 1);
    t->name = std::move(name);
    t->pid = pid;
    t->suspendable = suspendable;
    t->state = m_options.run == RunMode::Free ? State::Running : State::Runnable;
    t->body = std::move(body);
    t->onExit = std::move(onExit);
    t->scheduler = this;
    Thread& ref = *t;
    m_threads.push_back(std::move(t));
    if (serial())
        ref.fiber = std::make_unique<Fiber>(&Scheduler::runFiber, &ref);
    else
        ref.host = std::thread([this, &ref] { runHostThread(ref); });
    return ref.id;
}

void Scheduler::runBody(Thread& t)
{
    try {
        t.body();
    } catch (const ThreadKilled&) {
        // The process ended; the stack has unwound and the thread stops here.
    } catch (const std::exception& e) {
        std::fprintf(stderr, "device thread '%s' crashed: %s\n", t.name.c_str(), e.what());
        std::abort();
    }
}

void Scheduler::runHostThread(Thread& t)
{
    t_current = &t;
    t_scheduler = this;
    bool start = false;
    {
        std::lock_guard lock(m_mutex);
        start = !t.killed;
    }
    if (start)
        runBody(t);
    std::unique_lock lock(m_mutex);
    finishLocked(lock, t);
}

void Scheduler::runFiber(void* thread)
{
    Thread& t = *static_cast<Thread*>(thread);
    Scheduler& self = *t.scheduler;
    // Whoever switched here let the kernel's lock go just before.
    std::unique_lock lock(self.m_mutex);
    self.reapLocked();
    const bool start = !t.killed;
    lock.unlock();
    if (start)
        self.runBody(t);
    lock.lock();
    self.finishLocked(lock, t);
}

void Scheduler::finishLocked(std::unique_lock<DeviceMutex>& lock, Thread& t)
{
    m_mutex.assertHeld();
    t.state = State::Done;
    t.body = nullptr;
    if (t.onExit)
        t.onExit(t.id);
    if (serial()) {
        // This fiber's stack goes once another runs, which takes the lock again.
        Thread& next = nextToRunLocked(lock);
        m_endedFibers.push_back(std::move(t.fiber));
        t_current = &next;
        t_scheduler = this;
        lock.unlock();
        Fiber::switchAwayForGood(*m_endedFibers.back(), *next.fiber);
    }
    m_freeWake.notify_all();
    const bool anyoneActive = std::any_of(m_threads.begin(), m_threads.end(), [this](const auto& o) {
        return o->state == State::Running || (o->state != State::Done && eligibleLocked(*o));
    });
    if (!anyoneActive)
        advanceClockLocked(lock);
}

bool Scheduler::eligibleLocked(const Thread& t) const
{
    m_mutex.assertHeld();
    if (t.state == State::Done || t.state == State::Running)
        return false;
    if (t.killed)
        return true;
    if (t.suspendable && m_suspended)
        return false;
    if (t.state == State::Runnable)
        return true;
    const bool due = (t.ready && (*t.ready)()) || t.deadline <= m_now;
    if (!due)
        return false;
    // The controller waits for the device to settle, except that with preemption its next
    // moment comes when it comes, between any two calls of a busy thread. A thread that only
    // sleeps off a busy millisecond has not settled, but neither does it hold back a moment that
    // has come.
    if (!t.controller)
        return true;
    const bool onTime = t.deadline <= m_now;
    return (preemptive() && onTime) || !othersBusyLocked(t, !onTime);
}

bool Scheduler::othersBusyLocked(const Thread& self, bool countBusySleepers) const
{
    m_mutex.assertHeld();
    return std::any_of(m_threads.begin(), m_threads.end(), [&](const auto& o) {
        return o.get() != &self && (o->state == State::Running || eligibleLocked(*o) ||
                                    (countBusySleepers && o->busySleeping && !o->killed));
    });
}

Scheduler::Thread* Scheduler::pickLocked()
{
    m_mutex.assertHeld();
    std::vector<Thread*> candidates;
    Thread* controller = nullptr;
    for (const auto& t : m_threads) {
        if (t->controller) {
            controller = t.get();
            if (preemptive() && eligibleLocked(*t))
                candidates.push_back(t.get());
        } else if (eligibleLocked(*t)) {
            candidates.push_back(t.get());
        }
    }
    if (candidates.empty())
        return controller && eligibleLocked(*controller) ? controller : nullptr;
    if (candidates.size() == 1)
        return candidates.front();
    return candidates[m_rng() % candidates.size()];
}

void Scheduler::advanceClockLocked(std::unique_lock<DeviceMutex>& lock)
{
    m_mutex.assertHeld();
    DeviceTime next = kForever;
    for (const auto& t : m_threads) {
        if (t->state == State::Blocked && !(t->suspendable && m_suspended))
            next = std::min(next, t->deadline);
    }
    if (next == kForever) {
        std::fprintf(stderr, "device deadlock at %lld ms: every thread waits and nothing is due\n",
                     static_cast<long long>(m_now));
        for (const auto& t : m_threads)
            std::fprintf(stderr, "  thread %u '%s' pid=%u state=%d\n", t->id, t->name.c_str(), t->pid,
                         static_cast<int>(t->state));
        std::abort();
    }
    if (next <= m_now)
        return;
    // Wall time only waits: the device's time never jumps to where the host's clock is, so a
    // host that falls behind (a window opening, a loaded machine) makes the device late, not
    // different, and every moment keeps the order it has in virtual time.
    if (m_options.clock == ClockMode::Wall) {
        const auto target = m_wallOrigin + std::chrono::milliseconds(next);
        while (std::chrono::steady_clock::now() < target)
            m_mutex.waitUntil(m_freeWake, lock, target);
    }
    m_now = next;
    if (m_options.run == RunMode::Free)
        m_freeWake.notify_all();
}

Scheduler::Thread& Scheduler::nextToRunLocked(std::unique_lock<DeviceMutex>& lock)
{
    m_mutex.assertHeld();
    for (;;) {
        if (Thread* next = pickLocked()) {
            next->state = State::Running;
            if constexpr (kCheckInvariants) {
                const auto running = std::count_if(m_threads.begin(), m_threads.end(),
                                                   [](const auto& t) { return t->state == State::Running; });
                check(running == 1, "one device thread runs at a time in the serial modes");
            }
            return *next;
        }
        advanceClockLocked(lock);
    }
}

void Scheduler::handOverLocked(std::unique_lock<DeviceMutex>& lock, Thread& me)
{
    m_mutex.assertHeld();
    Thread& next = nextToRunLocked(lock);
    if (&next != &me)
        switchLocked(me, next);
}

void Scheduler::switchLocked(Thread& from, Thread& to)
{
    m_mutex.assertHeld();
    check(from.state != State::Running && to.state == State::Running, "a hand-over passes the CPU on");
    t_current = &to;
    t_scheduler = this;
    // The lock is let go here and taken again where `to` resumes, rather than passed on held:
    // each fiber then unlocks only what it locked, which ThreadSanitizer, following fibers as
    // threads, requires. Another host thread that takes it in between finds the hand-over made.
    m_mutex.unlock();
    Fiber::switchTo(*from.fiber, *to.fiber);
    m_mutex.lock();
    // Back in `from`: whoever switched here picked it and made it current again.
    reapLocked();
}

void Scheduler::reapLocked()
{
    m_mutex.assertHeld();
    m_endedFibers.clear();
}

WakeReason Scheduler::block(std::unique_lock<DeviceMutex>& lock, const std::function<bool()>& ready,
                            DeviceTime deadline)
{
    Thread* t = self();
    if (!t) {
        std::fprintf(stderr, "a blocking platform call was made from outside the device\n");
        std::abort();
    }
    if (t->killed) {
        // Destructors of a dying thread may still call in; they must not block or throw again.
        if (t->unwinding)
            return WakeReason::TimedOut;
        unwindCurrent();
    }
    t->state = State::Blocked;
    t->ready = &ready;
    t->deadline = deadline;
    if (serial()) {
        handOverLocked(lock, *t);
    } else {
        m_freeWake.notify_all();
        while (!eligibleLocked(*t)) {
            const bool anyoneActive = std::any_of(m_threads.begin(), m_threads.end(), [this](const auto& o) {
                return o->state == State::Running || eligibleLocked(*o);
            });
            if (anyoneActive)
                m_mutex.wait(m_freeWake, lock);
            else
                advanceClockLocked(lock);
        }
        t->state = State::Running;
    }
    ++t->wakeups;
    t->callsSinceBlock = 0;
    t->ready = nullptr;
    t->deadline = kForever;
    if (t->killed)
        unwindCurrent();
    return ready() ? WakeReason::Ready : WakeReason::TimedOut;
}

std::vector<Scheduler::ThreadActivity> Scheduler::activityLocked() const
{
    m_mutex.assertHeld();
    std::vector<ThreadActivity> out;
    for (const auto& t : m_threads)
        out.push_back(ThreadActivity{t->id, t->name, t->pid, t->controller, t->wakeups});
    return out;
}

void Scheduler::runUntil(DeviceTime until)
{
    static const std::function<bool()> never = [] { return false; };
    std::unique_lock lock(m_mutex);
    block(lock, never, std::max(until, m_now));
}

void Scheduler::runUntilIdle()
{
    static const std::function<bool()> always = [] { return true; };
    std::unique_lock lock(m_mutex);
    block(lock, always, kForever);
}

void Scheduler::chargeLocked(std::uint32_t micros)
{
    m_mutex.assertHeld();
    m_nowMicros += micros;
    m_now += m_nowMicros / 1000;
    m_nowMicros %= 1000;
}

void Scheduler::preemptionPointLocked(std::unique_lock<DeviceMutex>& lock)
{
    m_mutex.assertHeld();
    if (!preemptive())
        return;
    Thread* t = self();
    if (!t || t->controller || t->killed)
        return;
    chargeLocked(kCallCostMinMicros +
                 static_cast<std::uint32_t>(m_rng() % (kCallCostMaxMicros - kCallCostMinMicros + 1)));
    t->state = State::Runnable;
    handOverLocked(lock, *t);
}

void Scheduler::busyCallLocked(std::unique_lock<DeviceMutex>& lock)
{
    m_mutex.assertHeld();
    // The preemptive mode charges every call already.
    Thread* t = self();
    if (preemptive() || !t || t->controller || t->killed || ++t->callsSinceBlock < kCallsPerBusyMillisecond)
        return;
    static const std::function<bool()> never = [] { return false; };
    t->busySleeping = true;
    struct Awake {
        Thread& t;
        ~Awake() { t.busySleeping = false; }
    } awake{*t};
    block(lock, never, m_now + 1);
}

void Scheduler::notifyLocked()
{
    m_mutex.assertHeld();
    if (m_options.run == RunMode::Free)
        m_freeWake.notify_all();
}

void Scheduler::killProcessLocked(ProcessId pid)
{
    m_mutex.assertHeld();
    for (const auto& t : m_threads) {
        if (!t->controller && t->pid == pid && t->state != State::Done)
            t->killed = true;
    }
    notifyLocked();
}

void Scheduler::setSuspendedLocked(bool suspended)
{
    m_mutex.assertHeld();
    m_suspended = suspended;
    notifyLocked();
}

void Scheduler::shutdown()
{
    Thread* me = self();
    {
        std::unique_lock lock(m_mutex);
        if (m_shuttingDown)
            return;
        m_shuttingDown = true;
        for (const auto& t : m_threads) {
            if (!t->controller && t->state != State::Done)
                t->killed = true;
        }
        if (me && me->controller) {
            const std::function<bool()> allDone = [this] {
                return std::all_of(m_threads.begin(), m_threads.end(),
                                   [](const auto& t) { return t->controller || t->state == State::Done; });
            };
            block(lock, allDone, kForever);
        }
    }
    for (const auto& t : m_threads) {
        if (t->host.joinable())
            t->host.join();
    }
    {
        std::lock_guard lock(m_mutex);
        reapLocked();
    }
    if (t_scheduler == this) {
        t_current = nullptr;
        t_scheduler = nullptr;
    }
}

}  // namespace velorin::kernel
