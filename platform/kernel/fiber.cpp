// Fibers on ucontext: stacks with a guard page, each fiber's own C++ exception state, and the
// switches made known to the sanitizers.
#include "kernel/fiber.hpp"

#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <cxxabi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// GCC says which sanitizer a build has in one way, clang in another.
#if defined(__SANITIZE_ADDRESS__)
#define VELORIN_FIBER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELORIN_FIBER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define VELORIN_FIBER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VELORIN_FIBER_TSAN 1
#endif
#endif

#if defined(VELORIN_FIBER_ASAN)
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif
#if defined(VELORIN_FIBER_TSAN)
#include <sanitizer/tsan_interface.h>
#endif

namespace velorin::kernel {

namespace {

[[noreturn]] void fail(const char* what)
{
    std::perror(what);
    std::abort();
}

// A fiber's stack with an inaccessible page below it, so that an overflow faults at once
// instead of writing over whatever lies there.
class StackMemory {
public:
    explicit StackMemory(std::size_t bytes)
    {
        const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        m_guard = page;
        m_size = (bytes + page - 1) / page * page;
        void* mapped = mmap(nullptr, m_guard + m_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK,
                            -1, 0);
        if (mapped == MAP_FAILED)
            fail("fiber stack: mmap");
        m_base = static_cast<char*>(mapped);
        if (mprotect(m_base, m_guard, PROT_NONE) != 0)
            fail("fiber stack: mprotect");
    }
    ~StackMemory()
    {
        if (!m_base)
            return;
#if defined(VELORIN_FIBER_ASAN)
        // Frames abandoned on this stack leave their red zones marked; the next mapping here
        // must not inherit them.
        __asan_unpoison_memory_region(m_base + m_guard, m_size);
#endif
        munmap(m_base, m_guard + m_size);
    }
    StackMemory(const StackMemory&) = delete;
    StackMemory& operator=(const StackMemory&) = delete;

    void* bottom() const { return m_base ? m_base + m_guard : nullptr; }
    std::size_t size() const { return m_size; }

private:
    char* m_base = nullptr;
    std::size_t m_guard = 0;
    std::size_t m_size = 0;
};

// The layout of libstdc++'s per-thread exception globals (`__cxa_eh_globals`).
struct ExceptionState {
    void* caughtExceptions = nullptr;
    unsigned int uncaughtExceptions = 0;
};

void exchangeExceptionState(ExceptionState& save, const ExceptionState& load)
{
    void* globals = abi::__cxa_get_globals();
    std::memcpy(&save, globals, sizeof save);
    std::memcpy(globals, &load, sizeof load);
}

}  // namespace

struct Fiber::Impl {
    ucontext_t context{};
    std::unique_ptr<StackMemory> stack;
    Entry entry = nullptr;
    void* argument = nullptr;
    // Where the stack lies, for AddressSanitizer; for a host thread's own context, learnt
    // when the first fiber it switches to arrives.
    const void* stackBottom = nullptr;
    std::size_t stackSize = 0;
    void* fakeStack = nullptr;  // AddressSanitizer's, while this fiber is switched out
    void* tsanFiber = nullptr;
    bool ownsTsanFiber = false;
    // The C++ runtime's exception state (the exceptions being handled, the count in flight)
    // is per host thread; each fiber keeps its own across switches, as a thread would.
    ExceptionState exceptions;
};

namespace {

// The fiber being left by the switch under way on this host thread.
thread_local Fiber::Impl* t_leaving = nullptr;

void announceSwitch([[maybe_unused]] Fiber::Impl& from, [[maybe_unused]] Fiber::Impl& to,
                    [[maybe_unused]] bool forGood)
{
    t_leaving = &from;
    exchangeExceptionState(from.exceptions, to.exceptions);
#if defined(VELORIN_FIBER_ASAN)
    __sanitizer_start_switch_fiber(forGood ? nullptr : &from.fakeStack, to.stackBottom, to.stackSize);
#endif
#if defined(VELORIN_FIBER_TSAN)
    __tsan_switch_to_fiber(to.tsanFiber, 0);
#endif
}

}  // namespace

void Fiber::arrived()
{
#if defined(VELORIN_FIBER_ASAN)
    const void* leftBottom = nullptr;
    std::size_t leftSize = 0;
    __sanitizer_finish_switch_fiber(m_impl->fakeStack, &leftBottom, &leftSize);
    if (t_leaving && !t_leaving->stackBottom) {
        t_leaving->stackBottom = leftBottom;
        t_leaving->stackSize = leftSize;
    }
#endif
    t_leaving = nullptr;
}

Fiber::Fiber() : m_impl(std::make_unique<Impl>())
{
#if defined(VELORIN_FIBER_TSAN)
    m_impl->tsanFiber = __tsan_get_current_fiber();
#endif
}

Fiber::Fiber(Entry entry, void* argument, std::size_t stackBytes) : m_impl(std::make_unique<Impl>())
{
    Impl& f = *m_impl;
    f.stack = std::make_unique<StackMemory>(stackBytes);
    f.entry = entry;
    f.argument = argument;
    f.stackBottom = f.stack->bottom();
    f.stackSize = f.stack->size();
    if (getcontext(&f.context) != 0)
        fail("fiber: getcontext");
    f.context.uc_stack.ss_sp = f.stack->bottom();
    f.context.uc_stack.ss_size = f.stack->size();
    f.context.uc_link = nullptr;
    // makecontext passes int arguments only: the fiber's address goes in two halves.
    const auto self = reinterpret_cast<std::uintptr_t>(this);
    makecontext(&f.context, reinterpret_cast<void (*)()>(&Fiber::start), 2, static_cast<unsigned>(self >> 32),
                static_cast<unsigned>(self & 0xFFFFFFFFu));
#if defined(VELORIN_FIBER_TSAN)
    f.tsanFiber = __tsan_create_fiber(0);
    f.ownsTsanFiber = true;
#endif
}

Fiber::~Fiber()
{
#if defined(VELORIN_FIBER_TSAN)
    if (m_impl && m_impl->ownsTsanFiber)
        __tsan_destroy_fiber(m_impl->tsanFiber);
#endif
}

void Fiber::start(unsigned high, unsigned low)
{
    auto* fiber = reinterpret_cast<Fiber*>((static_cast<std::uintptr_t>(high) << 32) | low);
    fiber->arrived();
    fiber->m_impl->entry(fiber->m_impl->argument);
    std::fprintf(stderr, "a fiber's entry returned\n");
    std::abort();
}

void Fiber::switchTo(Fiber& from, Fiber& to)
{
    announceSwitch(*from.m_impl, *to.m_impl, false);
    if (swapcontext(&from.m_impl->context, &to.m_impl->context) != 0)
        fail("fiber: swapcontext");
    from.arrived();
}

void Fiber::switchAwayForGood(Fiber& from, Fiber& to)
{
    announceSwitch(*from.m_impl, *to.m_impl, true);
    setcontext(&to.m_impl->context);
    fail("fiber: setcontext");
}

}  // namespace velorin::kernel
