// A fiber: an execution context with its own stack, switched to explicitly on the host thread
// that runs it. The serial modes run every device thread as a fiber on the controller's host
// thread, so that handing the CPU from one device thread to the next costs a context switch
// within the process, not a wake-up through the host's scheduler.
#pragma once

#include <cstddef>
#include <memory>

namespace velorin::kernel {

class Fiber {
public:
    using Entry = void (*)(void* argument);

    // The context the calling host thread already runs in (its own stack).
    Fiber();
    // A new context that runs `entry(argument)` when first switched to. The entry must never
    // return: a fiber that is done switches away for the last time with switchAwayForGood().
    Fiber(Entry entry, void* argument, std::size_t stackBytes = kDefaultStackBytes);
    ~Fiber();
    Fiber(const Fiber&) = delete;
    Fiber& operator=(const Fiber&) = delete;

    // Suspends the running fiber `from` and resumes `to`; returns when something switches
    // back to `from`.
    static void switchTo(Fiber& from, Fiber& to);
    // Leaves the running fiber `from` for good: it must not be resumed again, and may be
    // destroyed once another fiber runs.
    [[noreturn]] static void switchAwayForGood(Fiber& from, Fiber& to);

    // Deep enough for the platform's calls with sanitizer-sized frames; only the pages a fiber
    // touches take memory.
    static constexpr std::size_t kDefaultStackBytes = std::size_t{1} << 20;

    struct Impl;  // opaque: the context, its stack, what the sanitizers need

private:
    static void start(unsigned high, unsigned low);
    void arrived();
    std::unique_ptr<Impl> m_impl;
};

}  // namespace velorin::kernel
