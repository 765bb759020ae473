// Timers: a tick, one tick owed after a long block, re-arming by id, killing, a timer that
// kills itself at its first tick, the ids of timers without a window, and time for a program
// that polls instead of blocking; timers set and killed from another thread, bad windows and ids,
// and timer procedures.
#include "report.hpp"
#include "test_window.hpp"

namespace conformance {

namespace {

constexpr char kGroup[] = "timers";

// The messages that the window logs within `ms` milliseconds, the queue pumped all along.
std::string LogFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        PumpMessages();
        Sleep(5);
    }
    PumpMessages();
    return MessageLog::Instance().Take();
}

// Bounds a poll loop that never sees time move; far more polls than 100 ms take anywhere.
constexpr long kMaxPolls = 5'000'000;

// Polls GetTickCount alone until it moves. A read of the tick is cheap, and desktop Windows
// moves it only every 10 to 16 ms, so this takes many more polls than the queue's.
bool TickMovesWhilePolled()
{
    constexpr long long kMaxTickPolls = 2'000'000'000;
    const DWORD start = GetTickCount();
    for (long long polls = 0; polls < kMaxTickPolls; ++polls) {
        if (GetTickCount() != start)
            return true;
    }
    return false;
}

// Polls the queue without taking anything, as a busy program does, until its timer is there.
bool PollerGetsItsTimer(HWND window)
{
    SetTimer(window, 4, 100, nullptr);
    MSG msg;
    bool seen = false;
    for (long polls = 0; polls < kMaxPolls && !seen; ++polls)
        seen = PeekMessageW(&msg, window, WM_TIMER, WM_TIMER, PM_NOREMOVE) != FALSE;
    KillTimer(window, 4);
    PumpMessages();
    MessageLog::Instance().Take();
    return seen;
}

// A timer procedure that counts its calls and keeps what it was called with.
struct ProcCalls {
    int count = 0;
    HWND hwnd = nullptr;
    UINT message = 0;
    UINT_PTR id = 0;
};
ProcCalls g_procCalls;

void CALLBACK CountingTimerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD)
{
    ++g_procCalls.count;
    g_procCalls.hwnd = hwnd;
    g_procCalls.message = message;
    g_procCalls.id = id;
}

struct RetimeArgs {
    HWND window;
    std::string result;
};

// Another thread kills the window's timer 5 and sets timer 6 on it.
DWORD WINAPI RetimeFromAnotherThread(LPVOID param)
{
    auto* args = static_cast<RetimeArgs*>(param);
    const BOOL killed = KillTimer(args->window, 5);
    const UINT_PTR set = SetTimer(args->window, 6, 30, nullptr);
    args->result = YesNo(killed) + " " + Number(static_cast<long long>(set));
    return 0;
}

}  // namespace

void RunTimerChecks()
{
    HWND window = MakeWindow(L"Conformance Timers");
    PumpMessages();
    MessageLog::Instance().Take();

    Report(kGroup, "set_returns_the_id", Number(static_cast<long long>(SetTimer(window, 1, 50, nullptr))));
    Report(kGroup, "first_tick", LogFor(80));
    const BOOL killed = KillTimer(window, 1);
    const BOOL killedAgain = KillTimer(window, 1);
    Report(kGroup, "kill", YesNo(killed) + " " + YesNo(killedAgain));
    Report(kGroup, "nothing_after_kill", LogFor(120));

    // A long block owes one tick, not one for each period missed.
    SetTimer(window, 2, 100, nullptr);
    Sleep(1050);
    PumpMessages();
    Report(kGroup, "one_tick_after_a_long_block", MessageLog::Instance().Take());
    KillTimer(window, 2);

    // The same id again replaces the timer and its period.
    SetTimer(window, 3, 5000, nullptr);
    SetTimer(window, 3, 50, nullptr);
    Report(kGroup, "same_id_rearms", LogFor(80));
    KillTimer(window, 3);

    SetTimer(window, kSelfKillingTimer, 30, nullptr);
    Report(kGroup, "killed_in_its_own_tick", LogFor(200));

    // Without a window the system chooses the id; given an existing one, does it replace it?
    const UINT_PTR first = SetTimer(nullptr, 0, 5000, nullptr);
    const UINT_PTR again = SetTimer(nullptr, first, 5000, nullptr);
    Report(kGroup, "thread_timer_given_its_own_id",
           YesNo(first != 0) + " " + (again == first ? "replaced" : again != 0 ? "another" : "failed"));
    KillTimer(nullptr, first);
    if (again != first)
        KillTimer(nullptr, again);

    // Another thread may kill and set a window's timers; the ticks still go to the window's thread.
    SetTimer(window, 5, 5000, nullptr);
    RetimeArgs retime{window, ""};
    HANDLE thread = CreateThread(nullptr, 0, RetimeFromAnotherThread, &retime, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    MSG msg;
    GetMessageW(&msg, window, WM_TIMER, WM_TIMER);
    Report(kGroup, "set_and_killed_from_another_thread",
           retime.result + " tick " + Number(static_cast<long long>(msg.wParam)));
    KillTimer(window, 6);

    // A window's timer may have id 0: SetTimer still answers nonzero, and the tick carries 0.
    SetLastError(0);
    const UINT_PTR zero = SetTimer(window, 0, 20, nullptr);
    const std::string zeroError = Error(GetLastError());
    const BOOL zeroTicked = GetMessageW(&msg, window, WM_TIMER, WM_TIMER);
    Report(kGroup, "window_timer_id_zero",
           Number(static_cast<long long>(zero)) + " " + zeroError + " " + YesNo(zeroTicked) + " " +
               Number(static_cast<long long>(msg.wParam)) + " " + YesNo(KillTimer(window, 0)));

    // What a bad window or id is told.
    HWND gone = MakeWindow(L"Conformance Gone Timer");
    DestroyWindow(gone);
    PumpMessages();
    MessageLog::Instance().Take();
    const UINT_PTR onGone = SetTimer(gone, 1, 10, nullptr);
    std::string bad = Number(static_cast<long long>(onGone));
    const BOOL killGone = KillTimer(gone, 1);
    bad += " / " + YesNo(killGone);
    SetLastError(0);
    const BOOL killUnknown = KillTimer(window, 77);
    bad += " / " + YesNo(killUnknown) + " " + Error(GetLastError());
    Report(kGroup, "bad_window_or_id", bad);

    // A window's timer with a procedure: dispatching its WM_TIMER calls the procedure instead of
    // the window's.
    g_procCalls = {};
    SetTimer(window, 7, 20, CountingTimerProc);
    const BOOL ticked = GetMessageW(&msg, window, WM_TIMER, WM_TIMER);
    if (ticked)
        DispatchMessageW(&msg);
    KillTimer(window, 7);
    Report(kGroup, "window_timer_procedure",
           YesNo(ticked) + " " + Number(g_procCalls.count) + " " +
               YesNo(g_procCalls.hwnd == window && g_procCalls.message == WM_TIMER && g_procCalls.id == 7) + " " +
               MessageLog::Instance().Take());

    // A thread's timer with a procedure: its tick has no window, and a WM_TIMER made by hand with
    // the timer's id and procedure calls the procedure too.
    g_procCalls = {};
    const UINT_PTR threadTimer = SetTimer(nullptr, 0, 20, CountingTimerProc);
    const BOOL threadTicked = GetMessageW(&msg, nullptr, WM_TIMER, WM_TIMER);
    std::string threadProc = YesNo(threadTicked) + " " + YesNo(threadTicked && !msg.hwnd && msg.wParam == threadTimer);
    if (threadTicked)
        DispatchMessageW(&msg);
    threadProc += " " + Number(g_procCalls.count) + " " + YesNo(g_procCalls.id == threadTimer && !g_procCalls.hwnd);
    MSG madeUp{nullptr, WM_TIMER, threadTimer, reinterpret_cast<LPARAM>(&CountingTimerProc), 0, {0, 0}};
    DispatchMessageW(&madeUp);
    KillTimer(nullptr, threadTimer);
    Report(kGroup, "thread_timer_procedure", threadProc + " " + Number(g_procCalls.count));
    Report(kGroup, "tick_moves_while_polled", YesNo(TickMovesWhilePolled()));
    Report(kGroup, "a_poller_gets_its_timer", YesNo(PollerGetsItsTimer(window)));

    DestroyWindow(window);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
