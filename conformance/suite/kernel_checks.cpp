// The kernel: events and their waits and time-outs, PulseEvent, named events, waits on several
// objects, Sleep, threads and their exit codes, the last error, Interlocked calls and critical
// sections, point-to-point message queues (under Wine, the CE layer's).
#include "report.hpp"

#include <msgqueue.h>

namespace conformance {

namespace {

constexpr char kGroup[] = "kernel";

DWORD WINAPI ReturnFortyTwo(LPVOID)
{
    return 42;
}

DWORD WINAPI WaitThenReturn(LPVOID event)
{
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 7;
}

DWORD WINAPI SetAfterSleep(LPVOID event)
{
    Sleep(50);
    SetEvent(static_cast<HANDLE>(event));
    return 0;
}

CRITICAL_SECTION g_section;
LONG g_enteredAfterWait = 0;

DWORD WINAPI TryEnterFromAnother(LPVOID)
{
    const BOOL entered = TryEnterCriticalSection(&g_section);
    if (entered)
        LeaveCriticalSection(&g_section);
    return entered;
}

DWORD WINAPI EnterThenMark(LPVOID)
{
    EnterCriticalSection(&g_section);
    InterlockedExchange(&g_enteredAfterWait, 1);
    LeaveCriticalSection(&g_section);
    return 0;
}

DWORD RunThread(LPTHREAD_START_ROUTINE routine)
{
    HANDLE thread = CreateThread(nullptr, 0, routine, nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code;
}

DWORD WINAPI ReturnOwnId(LPVOID)
{
    return GetCurrentThreadId();
}

DWORD WINAPI WaitForPulse(LPVOID event)
{
    return WaitForSingleObject(static_cast<HANDLE>(event), 2000);
}

// A call's result and the last error it left, read after the call.
std::string Failure(BOOL result)
{
    return YesNo(result) + " error " + Number(GetLastError());
}

std::string WaitFailure(DWORD result)
{
    return WaitResult(result) + " error " + Number(GetLastError());
}

// A queue's two ends: a reader's made with room for messages of 8 bytes, a writer's opened on it.
struct Queue {
    HANDLE read;
    HANDLE write;
};

Queue MakeQueue(DWORD flags)
{
    MSGQUEUEOPTIONS options = {sizeof(MSGQUEUEOPTIONS), flags, 0, 8, TRUE};
    const HANDLE read = CreateMsgQueue(nullptr, &options);
    options.bReadAccess = FALSE;
    return Queue{read, OpenMsgQueue(nullptr, read, &options)};
}

std::string WriteText(HANDLE queue, std::string text, DWORD flags = 0)
{
    SetLastError(0);
    const BOOL written = WriteMsgQueue(queue, text.data(), static_cast<DWORD>(text.size()), 0, flags);
    return written ? "yes" : Failure(written);
}

// The next message and its flags, or the failure and what was read of it.
std::string ReadText(HANDLE queue, DWORD bufferSize = 8)
{
    char buffer[8] = {};
    DWORD read = 0;
    DWORD flags = 99;
    SetLastError(0);
    const BOOL ok = ReadMsgQueue(queue, buffer, bufferSize, &read, 0, &flags);
    const std::string text(buffer, read);
    return ok ? text + "/" + Number(flags) : Failure(ok) + " " + text;
}

void RunQueueChecks()
{
    Queue queue = MakeQueue(0);
    WriteText(queue.write, "one");
    WriteText(queue.write, "two", MSGQUEUE_MSGALERT);
    WriteText(queue.write, "three");
    std::string order;
    for (int i = 0; i < 3; ++i)
        order += ReadText(queue.read) + " ";
    Report(kGroup, "queue_order_and_flags", order + WaitResult(WaitForSingleObject(queue.read, 0)));
    Report(kGroup, "queue_message_too_long", WriteText(queue.write, "too long!"));
    WriteText(queue.write, "abcdef");
    WriteText(queue.write, "next");
    const std::string shortRead = ReadText(queue.read, 2);
    Report(kGroup, "queue_short_buffer_takes_the_message", shortRead + ", " + ReadText(queue.read));
    CloseMsgQueue(queue.read);
    CloseMsgQueue(queue.write);

    Queue strict = MakeQueue(0);
    Queue lenient = MakeQueue(MSGQUEUE_ALLOW_BROKEN);
    CloseMsgQueue(strict.read);
    CloseMsgQueue(lenient.read);
    Report(kGroup, "queue_write_without_readers",
           WriteText(strict.write, "x") + ", allowed broken " + WriteText(lenient.write, "x"));
    CloseMsgQueue(strict.write);
    CloseMsgQueue(lenient.write);
}

void RunHandleAndCountChecks()
{
    HANDLE thread = CreateThread(nullptr, 0, ReturnFortyTwo, nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    // Closed just before it is used, so that no new handle takes its value meanwhile.
    HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(closed);
    SetLastError(0);
    const std::string setNull = Failure(SetEvent(nullptr));
    SetLastError(0);
    const std::string setClosed = Failure(SetEvent(closed));
    SetLastError(0);
    const std::string setThread = Failure(SetEvent(thread));
    SetLastError(0);
    const std::string closeAgain = Failure(CloseHandle(closed));
    SetLastError(0);
    DWORD code = 0;
    const std::string exitOfEvent = Failure(GetExitCodeThread(closed, &code));
    SetLastError(0);
    const std::string waitNull = WaitFailure(WaitForSingleObject(nullptr, 0));
    Report(kGroup, "bad_handles",
           setNull + ", " + setClosed + ", " + setThread + ", " + closeAgain + ", " + exitOfEvent + ", " + waitNull);

    HANDLE events[MAXIMUM_WAIT_OBJECTS + 1];
    for (HANDLE& event : events)
        event = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    SetLastError(0);
    std::string counts = WaitFailure(WaitForMultipleObjects(0, events, FALSE, 0));
    SetLastError(0);
    counts += ", " + WaitFailure(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, events, FALSE, 0));
    closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(closed);
    HANDLE withClosed[2] = {events[0], closed};
    SetLastError(0);
    counts += ", " + WaitFailure(WaitForMultipleObjects(2, withClosed, FALSE, 0));
    Report(kGroup, "wait_bad_counts_and_handles", counts);

    // Every one of the most objects a wait takes is set: each wait takes the lowest still set.
    std::string order;
    for (int i = 0; i < 3; ++i)
        order += WaitResult(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, events, FALSE, 0)) + " ";
    HANDLE twice[2] = {events[MAXIMUM_WAIT_OBJECTS - 1], events[MAXIMUM_WAIT_OBJECTS - 1]};
    order += WaitResult(WaitForMultipleObjects(2, twice, FALSE, 0)) + " ";
    order += WaitResult(WaitForMultipleObjects(2, twice, FALSE, 0));
    Report(kGroup, "wait_any_takes_lowest", order);
    for (HANDLE event : events)
        CloseHandle(event);
    CloseHandle(thread);

    // PulseEvent wakes every waiter of a manual-reset event and one of an auto-reset event.
    const auto pulsed = [](BOOL manualReset) {
        HANDLE event = CreateEventW(nullptr, manualReset, FALSE, nullptr);
        HANDLE waiters[2];
        for (HANDLE& waiter : waiters)
            waiter = CreateThread(nullptr, 0, WaitForPulse, event, 0, nullptr);
        Sleep(50);
        PulseEvent(event);
        const std::string state = WaitResult(WaitForSingleObject(event, 0));
        Sleep(50);
        int woken = 0;
        for (HANDLE waiter : waiters) {
            DWORD result = STILL_ACTIVE;
            GetExitCodeThread(waiter, &result);
            woken += result == WAIT_OBJECT_0 ? 1 : 0;
        }
        SetEvent(event);
        for (HANDLE waiter : waiters) {
            WaitForSingleObject(waiter, INFINITE);
            CloseHandle(waiter);
        }
        CloseHandle(event);
        return Number(woken) + " woken, " + state;
    };
    Report(kGroup, "pulse_with_waiters", "manual " + pulsed(TRUE) + ", auto " + pulsed(FALSE));

    SetLastError(1234);
    HANDLE unnamed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const DWORD afterUnnamed = GetLastError();
    HANDLE lower = CreateEventW(nullptr, FALSE, FALSE, L"ConformanceCase");
    SetLastError(1234);
    HANDLE upper = CreateEventW(nullptr, FALSE, FALSE, L"CONFORMANCECASE");
    Report(kGroup, "create_event_last_error", Number(afterUnnamed) + " " + Number(GetLastError()));
    CloseHandle(upper);
    CloseHandle(lower);
    CloseHandle(unnamed);

    SetLastError(0);
    std::string unnamedOpen = Failure(OpenEventW(EVENT_ALL_ACCESS, FALSE, L"") != nullptr);
    SetLastError(0);
    unnamedOpen += ", " + Failure(OpenEventW(EVENT_ALL_ACCESS, FALSE, nullptr) != nullptr);
    Report(kGroup, "open_event_without_name", unnamedOpen);

    // A name is free again once its last handle is closed.
    HANDLE first = CreateEventW(nullptr, FALSE, FALSE, L"ConformanceReleased");
    CloseHandle(first);
    SetLastError(1234);
    HANDLE second = CreateEventW(nullptr, FALSE, FALSE, L"ConformanceReleased");
    Report(kGroup, "event_name_released", Number(GetLastError()));
    CloseHandle(second);

    DWORD givenId = 0;
    SetLastError(1234);
    HANDLE own = CreateThread(nullptr, 0, ReturnOwnId, nullptr, 0, &givenId);
    const DWORD afterCreate = GetLastError();
    WaitForSingleObject(own, INFINITE);
    DWORD seenId = 0;
    GetExitCodeThread(own, &seenId);
    CloseHandle(own);
    Report(kGroup, "thread_id",
           YesNo(seenId == givenId) + " " + YesNo(givenId != GetCurrentThreadId()) + " " + Number(afterCreate));

    LONG count = 0;
    const LONG up = InterlockedIncrement(&count);
    const LONG down = InterlockedDecrement(&count);
    const LONG old = InterlockedExchange(&count, 7);
    Report(kGroup, "interlocked_results", Number(up) + " " + Number(down) + " " + Number(old) + " " + Number(count));
}

void RunSynchronisationChecks()
{
    LONG value = 5;
    const LONG swapped = InterlockedCompareExchange(&value, 9, 5);
    const LONG kept = InterlockedCompareExchange(&value, 1, 5);
    Report(kGroup, "compare_exchange", Number(swapped) + " " + Number(kept) + " " + Number(value));
    const LONG before = InterlockedExchangeAdd(&value, -12);
    Report(kGroup, "exchange_add", Number(before) + " " + Number(value));
    const LONG tested = InterlockedTestExchange(&value, -3, 4);
    const LONG untouched = InterlockedTestExchange(&value, -3, 8);
    Report(kGroup, "test_exchange", Number(tested) + " " + Number(untouched) + " " + Number(value));

    InitializeCriticalSection(&g_section);
    EnterCriticalSection(&g_section);
    EnterCriticalSection(&g_section);
    const BOOL again = TryEnterCriticalSection(&g_section);
    Report(kGroup, "section_reentered", YesNo(again) + " " + YesNo(RunThread(TryEnterFromAnother)));
    // Entered three times: still owned after two leaves.
    LeaveCriticalSection(&g_section);
    LeaveCriticalSection(&g_section);
    HANDLE waiter = CreateThread(nullptr, 0, EnterThenMark, nullptr, 0, nullptr);
    Sleep(50);
    const LONG whileOwned = InterlockedCompareExchange(&g_enteredAfterWait, 0, 0);
    LeaveCriticalSection(&g_section);
    WaitForSingleObject(waiter, INFINITE);
    CloseHandle(waiter);
    Report(kGroup, "section_waiter_enters_after_leave", Number(whileOwned) + " " + Number(g_enteredAfterWait));
    Report(kGroup, "section_free_again", YesNo(RunThread(TryEnterFromAnother)));
    DeleteCriticalSection(&g_section);
}

}  // namespace

void RunKernelChecks()
{
    HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE automatic = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    Report(kGroup, "unsignalled_wait_times_out", WaitResult(WaitForSingleObject(manual, 30)));
    SetEvent(manual);
    const DWORD first = WaitForSingleObject(manual, 0);
    Report(kGroup, "manual_reset_stays_set", WaitResult(first) + " " + WaitResult(WaitForSingleObject(manual, 0)));
    ResetEvent(manual);
    Report(kGroup, "reset", WaitResult(WaitForSingleObject(manual, 0)));
    SetEvent(automatic);
    const DWORD once = WaitForSingleObject(automatic, 0);
    Report(kGroup, "auto_reset_wakes_once", WaitResult(once) + " " + WaitResult(WaitForSingleObject(automatic, 0)));
    PulseEvent(manual);
    Report(kGroup, "pulse_without_waiters", WaitResult(WaitForSingleObject(manual, 0)));

    HANDLE waiter = CreateThread(nullptr, 0, SetAfterSleep, automatic, 0, nullptr);
    Report(kGroup, "woken_by_another_thread", WaitResult(WaitForSingleObject(automatic, 5000)));
    WaitForSingleObject(waiter, INFINITE);
    CloseHandle(waiter);

    HANDLE pair[2] = {manual, automatic};
    SetEvent(automatic);
    Report(kGroup, "wait_any", WaitResult(WaitForMultipleObjects(2, pair, FALSE, 0)));
    Report(kGroup, "wait_any_times_out", WaitResult(WaitForMultipleObjects(2, pair, FALSE, 20)));
    SetEvent(manual);
    SetEvent(automatic);
    SetLastError(0);
    const DWORD all = WaitForMultipleObjects(2, pair, TRUE, 0);
    Report(kGroup, "wait_all", WaitResult(all) + " " + Error(GetLastError()));
    ResetEvent(manual);
    ResetEvent(automatic);

    // GetTickCount may move in steps of 10 to 16 ms on a desktop.
    const DWORD before = GetTickCount();
    Sleep(100);
    Report(kGroup, "sleep_waits", YesNo(GetTickCount() - before >= 84));

    HANDLE thread = CreateThread(nullptr, 0, ReturnFortyTwo, nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    Report(kGroup, "thread_exit_code", Number(code));
    CloseHandle(thread);
    HANDLE blocked = CreateThread(nullptr, 0, WaitThenReturn, manual, 0, nullptr);
    Sleep(10);
    GetExitCodeThread(blocked, &code);
    const std::string running = Number(code);
    SetEvent(manual);
    WaitForSingleObject(blocked, INFINITE);
    GetExitCodeThread(blocked, &code);
    Report(kGroup, "thread_still_active_then_ended", running + " " + Number(code));
    CloseHandle(blocked);

    HANDLE named = CreateEventW(nullptr, FALSE, FALSE, L"ConformanceNamedEvent");
    SetLastError(0);
    HANDLE again = CreateEventW(nullptr, FALSE, FALSE, L"ConformanceNamedEvent");
    const DWORD existed = GetLastError();
    HANDLE opened = OpenEventW(EVENT_ALL_ACCESS, FALSE, L"ConformanceNamedEvent");
    SetEvent(opened);
    Report(kGroup, "named_event_shared",
           Error(existed) + " " + YesNo(opened != nullptr) + " " + WaitResult(WaitForSingleObject(named, 0)));
    SetLastError(0);
    HANDLE missing = OpenEventW(EVENT_ALL_ACCESS, FALSE, L"ConformanceNoSuchEvent");
    Report(kGroup, "open_missing_event", YesNo(missing != nullptr) + " " + Error(GetLastError()));
    CloseHandle(opened);
    CloseHandle(again);
    CloseHandle(named);

    SetLastError(1234);
    Report(kGroup, "last_error", Number(GetLastError()));
    CloseHandle(manual);
    CloseHandle(automatic);

    RunSynchronisationChecks();
    RunHandleAndCountChecks();
    RunQueueChecks();
}

}  // namespace conformance
