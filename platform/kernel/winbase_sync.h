/* Interlocked operations and critical sections, as CE's winbase.h declares them.
   The Interlocked calls are the processor's work on the program's own memory: they never fail,
   never block and never reach the kernel. So is an uncontended critical section; only a thread
   that has to wait for one blocks in the kernel. */
#ifndef VELORIN_KERNEL_WINBASE_SYNC_H
#define VELORIN_KERNEL_WINBASE_SYNC_H

#include "kernel/windef.h"

#ifdef __cplusplus
extern "C" {
#endif

LONG InterlockedIncrement(LPLONG lpAddend);
LONG InterlockedDecrement(LPLONG lpAddend);
LONG InterlockedExchange(LPLONG Target, LONG Value);
LONG InterlockedExchangeAdd(LPLONG Addend, LONG Increment);
LONG InterlockedCompareExchange(LPLONG Destination, LONG Exchange, LONG Comperand);
/* CE's own: InterlockedCompareExchange with the two values the other way round. */
LONG InterlockedTestExchange(LPLONG Target, LONG OldValue, LONG NewValue);
PVOID InterlockedCompareExchangePointer(PVOID* Destination, PVOID ExChange, PVOID Comperand);
PVOID InterlockedExchangePointer(PVOID* Target, PVOID Value);

/* Opaque to programs, as CE says; its documentation leaves the layout open, so it is the
   desktop's. The device keeps the owner's thread id, how often it entered, and how many threads
   wait. A thread that ends while it owns a section leaves it owned, as on CE: its waiters wait
   until their process ends. */
typedef struct _CRITICAL_SECTION {
    PVOID DebugInfo;
    LONG LockCount;
    LONG RecursionCount;
    HANDLE OwningThread;
    HANDLE LockSemaphore;
    ULONG_PTR SpinCount;
} CRITICAL_SECTION, *LPCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
/* Waits for the section in the device's scheduler, as long as it takes; the owner may enter again. */
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
/* Once for every entry; a thread that does not own the section changes nothing. */
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

#ifdef __cplusplus
}
#endif

#endif
