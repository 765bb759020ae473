// Interlocked operations and critical sections. They are not system calls: no call gate, so no
// trace line, no preemption point and no planned fault, and a program that uses them in place of
// its own atomics runs and traces exactly as before. Every access to shared state is a
// sequentially consistent atomic on the program's memory, which ThreadSanitizer follows.
//
// Only a program's code calls them, never the kernel's: the contended Enter and a Leave with
// waiters take the kernel lock, so they must not be reached from under it (no ...Locked caller).
#include "kernel/kernel.hpp"
#include "kernel/winbase_sync.h"

#include <functional>
#include <mutex>

using namespace velorin::kernel;

namespace {

constexpr int kOrder = __ATOMIC_SEQ_CST;

template <class T> T compareExchange(T* destination, T exchange, T comperand)
{
    __atomic_compare_exchange_n(destination, &comperand, exchange, false, kOrder, kOrder);
    return comperand;  // the value found, whether or not it was replaced
}

// The owner's mark in OwningThread: its thread id, never 0 for a device thread.
HANDLE callerMark()
{
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(Kernel::current().scheduler().currentId()));
}

bool tryTake(LPCRITICAL_SECTION section, HANDLE me)
{
    const HANDLE owner = compareExchange(&section->OwningThread, me, HANDLE{});
    if (owner == nullptr) {
        section->RecursionCount = 1;  // the owner's alone from here on
        return true;
    }
    if (owner != me)
        return false;
    ++section->RecursionCount;
    return true;
}

// Counted in LockCount while it waits, so that the owner's Leave knows to wake it: the count
// goes up before the wait looks at the owner, and Leave clears the owner before it reads the
// count, so one of the two always sees the other.
class Waiting {
public:
    explicit Waiting(LPCRITICAL_SECTION section) : m_count(&section->LockCount)
    {
        __atomic_add_fetch(m_count, 1, kOrder);
    }
    ~Waiting() { __atomic_sub_fetch(m_count, 1, kOrder); }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;

private:
    LONG* m_count;
};

// Blocks in the scheduler as any wait does: the serial modes run another thread meanwhile, the
// free mode sleeps on the kernel's condition. An ended process unwinds the thread from here.
void waitToTake(LPCRITICAL_SECTION section, HANDLE me)
{
    Kernel& k = Kernel::current();
    std::unique_lock lock(k.mutex());
    const Waiting waiting(section);
    const std::function<bool()> free = [section] {
        return __atomic_load_n(&section->OwningThread, kOrder) == nullptr;
    };
    while (!tryTake(section, me)) {
        // Woken without the section: another thread took it first, or this one is unwinding and
        // a destructor of its asks; that one is let go without it, and its Leave does nothing.
        if (k.scheduler().block(lock, free, kForever) == WakeReason::TimedOut && k.scheduler().caller().unwinding)
            return;
    }
}

}  // namespace

LONG InterlockedIncrement(LPLONG lpAddend)
{
    return __atomic_add_fetch(lpAddend, 1, kOrder);
}

LONG InterlockedDecrement(LPLONG lpAddend)
{
    return __atomic_sub_fetch(lpAddend, 1, kOrder);
}

LONG InterlockedExchange(LPLONG Target, LONG Value)
{
    return __atomic_exchange_n(Target, Value, kOrder);
}

LONG InterlockedExchangeAdd(LPLONG Addend, LONG Increment)
{
    return __atomic_fetch_add(Addend, Increment, kOrder);
}

LONG InterlockedCompareExchange(LPLONG Destination, LONG Exchange, LONG Comperand)
{
    return compareExchange(Destination, Exchange, Comperand);
}

LONG InterlockedTestExchange(LPLONG Target, LONG OldValue, LONG NewValue)
{
    return compareExchange(Target, NewValue, OldValue);
}

PVOID InterlockedCompareExchangePointer(PVOID* Destination, PVOID ExChange, PVOID Comperand)
{
    return compareExchange(Destination, ExChange, Comperand);
}

PVOID InterlockedExchangePointer(PVOID* Target, PVOID Value)
{
    return __atomic_exchange_n(Target, Value, kOrder);
}

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    *lpCriticalSection = CRITICAL_SECTION{};
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    // Nothing of the kernel's to free: the section lives in the program's memory.
    *lpCriticalSection = CRITICAL_SECTION{};
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    const HANDLE me = callerMark();
    if (!tryTake(lpCriticalSection, me))
        waitToTake(lpCriticalSection, me);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    return tryTake(lpCriticalSection, callerMark()) ? TRUE : FALSE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    if (__atomic_load_n(&lpCriticalSection->OwningThread, kOrder) != callerMark())
        return;  // CE calls this the program's error; there is no entry of its to undo
    if (--lpCriticalSection->RecursionCount > 0)
        return;
    __atomic_store_n(&lpCriticalSection->OwningThread, HANDLE{}, kOrder);
    if (__atomic_load_n(&lpCriticalSection->LockCount, kOrder) > 0) {
        // The free mode's waiters sleep until told; the serial modes look at the owner whenever
        // they pick the next thread.
        Kernel& k = Kernel::current();
        std::lock_guard lock(k.mutex());
        k.signalLocked();
    }
}
