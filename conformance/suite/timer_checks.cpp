// Timers: a tick, one tick owed after a long block, re-arming by id, killing, a timer that
// kills itself at its first tick, the ids of timers without a window, and time for a program
// that polls instead of blocking.
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

    Report(kGroup, "tick_moves_while_polled", YesNo(TickMovesWhilePolled()));
    Report(kGroup, "a_poller_gets_its_timer", YesNo(PollerGetsItsTimer(window)));

    DestroyWindow(window);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
