// Messages: posting and sending, the order across threads, filters, PeekMessageW's flags,
// WM_QUIT, dispatching to another thread's window, posting to a thread and to every window, and
// the order of the messages the queue makes itself (paint, timers, quit).
#include "report.hpp"
#include "test_window.hpp"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace conformance {

namespace {

constexpr char kGroup[] = "messages";

std::string Describe(const MSG& msg, HWND a, HWND b)
{
    std::string who = msg.hwnd == a ? "a" : msg.hwnd == b ? "b" : msg.hwnd == nullptr ? "none" : "other";
    std::string what = msg.message == WM_QUIT   ? "WM_QUIT"
                       : msg.message >= WM_USER ? "user" + Number(msg.message - WM_USER)
                                                : Number(msg.message);
    return who + ":" + what + ":" + Number(static_cast<long long>(msg.wParam)) + ":" +
           Number(static_cast<long long>(msg.lParam));
}

// What the queue gives, one PeekMessageW after another, as "who:what:w:l" entries.
std::string Drain(HWND filter, UINT first, UINT last, HWND a, HWND b)
{
    std::string out;
    MSG msg;
    while (PeekMessageW(&msg, filter, first, last, PM_REMOVE))
        out += (out.empty() ? "" : " ") + Describe(msg, a, b);
    return out.empty() ? "-" : out;
}

struct PosterArgs {
    HWND target;
    HANDLE done;
};

DWORD WINAPI PostThree(LPVOID param)
{
    auto* args = static_cast<PosterArgs*>(param);
    for (UINT i = 1; i <= 3; ++i)
        PostMessageW(args->target, WM_USER + i, i, 0);
    SetEvent(args->done);
    return 0;
}

LRESULT g_sentAnswer = 0;

DWORD WINAPI SendAcross(LPVOID param)
{
    auto* args = static_cast<PosterArgs*>(param);
    g_sentAnswer = SendMessageW(args->target, kAnswer, 0, 0);
    SetEvent(args->done);
    return 0;
}

// Runs `body` on a thread of its own and lets the calling thread take sent messages meanwhile.
void RunOnThread(LPTHREAD_START_ROUTINE body, PosterArgs& args)
{
    HANDLE thread = CreateThread(nullptr, 0, body, &args, 0, nullptr);
    MSG msg;
    while (WaitForSingleObject(args.done, 0) == WAIT_TIMEOUT) {
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        Sleep(1);
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

// A thread with a window of its own, which it destroys when told to.
struct WindowThreadArgs {
    HWND window;
    HANDLE made;
    HANDLE end;
};

DWORD WINAPI KeepWindow(LPVOID param)
{
    auto* args = static_cast<WindowThreadArgs*>(param);
    args->window = MakeWindow(L"Conformance Other Thread");
    SetEvent(args->made);
    WaitForSingleObject(args->end, INFINITE);
    DestroyWindow(args->window);
    return 0;
}

// A window on a thread of its own whose procedure, sent kEcho, sends kEchoBack to the window in
// lParam and answers with that answer plus one.
constexpr UINT kEcho = WM_USER + 30;
constexpr UINT kEchoBack = WM_USER + 31;

LRESULT CALLBACK EchoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kEcho)
        return SendMessageW(reinterpret_cast<HWND>(lParam), kEchoBack, 0, 0) + 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD WINAPI KeepEchoWindow(LPVOID param)
{
    auto* args = static_cast<WindowThreadArgs*>(param);
    WNDCLASSW echoClass{};
    echoClass.lpfnWndProc = EchoProc;
    echoClass.hInstance = GetModuleHandleW(nullptr);
    echoClass.lpszClassName = L"ConformanceEcho";
    RegisterClassW(&echoClass);
    args->window = CreateWindowExW(0, L"ConformanceEcho", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SetEvent(args->made);
    MSG msg;
    while (WaitForSingleObject(args->end, 0) == WAIT_TIMEOUT) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(1);
    }
    DestroyWindow(args->window);
    return 0;
}

// A thread that sends a message to one window and then posts one to another.
struct SendPostArgs {
    HWND sendTo;
    HWND postTo;
};

DWORD WINAPI SendThenPost(LPVOID param)
{
    auto* args = static_cast<SendPostArgs*>(param);
    SendMessageW(args->sendTo, WM_USER + 7, 0, 0);
    PostMessageW(args->postTo, WM_USER + 50, 0, 0);
    return 0;
}

// A thread that makes its queue only when told to, then takes one message.
struct QueueThreadArgs {
    HANDLE go;
    HANDLE ready;
    std::string taken;
};

DWORD WINAPI TakeThreadMessage(LPVOID param)
{
    auto* args = static_cast<QueueThreadArgs*>(param);
    WaitForSingleObject(args->go, INFINITE);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(args->ready);
    if (GetMessageW(&msg, nullptr, 0, 0) >= 0)
        args->taken = std::string(msg.hwnd ? "window" : "none") + ":user" + Number(msg.message - WM_USER) + ":" +
                      Number(static_cast<long long>(msg.wParam)) + ":" + Number(static_cast<long long>(msg.lParam));
    return 0;
}

// Peeks once with `filter` and flags, as "who:what:w:l" or "-".
std::string PeekOnce(HWND filter, UINT flags, HWND a, HWND b)
{
    MSG msg;
    return PeekMessageW(&msg, filter, 0, 0, flags) ? Describe(msg, a, b) : "-";
}

// A thread that posts one message to a window and then sends it another.
DWORD WINAPI PostThenSend(LPVOID param)
{
    auto* args = static_cast<PosterArgs*>(param);
    PostMessageW(args->target, WM_USER + 1, 0, 0);
    SendMessageW(args->target, WM_USER + 2, 0, 0);
    SetEvent(args->done);
    return 0;
}

// The order in which the queue gives a posted message, WM_QUIT, a WM_PAINT and a due WM_TIMER
// that all wait at once.
std::string GeneratedOrder()
{
    HWND shown = MakeWindow(L"Conformance Order", 10, 10, 60, 60);
    ShowWindow(shown, SW_SHOWNA);
    PumpMessages();
    MessageLog::Instance().Take();
    SetTimer(shown, 1, 10, nullptr);
    Sleep(50);
    InvalidateRect(shown, nullptr, FALSE);
    PostQuitMessage(5);
    PostMessageW(shown, WM_USER + 1, 0, 0);
    std::string order;
    MSG msg;
    for (int i = 0; i < 6 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        const std::string name = msg.message == WM_QUIT    ? "quit"
                                 : msg.message == WM_PAINT ? "paint"
                                 : msg.message == WM_TIMER ? "timer"
                                 : msg.message >= WM_USER  ? "user" + Number(msg.message - WM_USER)
                                                           : "";
        if (!name.empty())
            order += (order.empty() ? "" : " ") + name;
        if (msg.message == WM_TIMER)
            break;
        if (msg.message != WM_QUIT)
            DispatchMessageW(&msg);
    }
    KillTimer(shown, 1);
    DestroyWindow(shown);
    PumpMessages();
    MessageLog::Instance().Take();
    return order;
}

// Which of a, b and a's child a broadcast reached; other programs' windows are left out.
std::string BroadcastReached(HWND a, HWND b, HWND child)
{
    std::vector<std::string> reached;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_NULL && msg.message != WM_USER + 3)
            continue;
        const char* who = msg.hwnd == a ? "a" : msg.hwnd == b ? "b" : msg.hwnd == child ? "child" : nullptr;
        if (who)
            reached.push_back(who + (":" + Number(msg.message)));
    }
    std::sort(reached.begin(), reached.end());
    std::string joined;
    for (const std::string& entry : reached)
        joined += (joined.empty() ? "" : " ") + entry;
    return joined.empty() ? "-" : joined;
}

}  // namespace

void RunMessageChecks()
{
    HWND a = MakeWindow(L"Conformance A");
    HWND b = MakeWindow(L"Conformance B");
    PumpMessages();
    MessageLog::Instance().Take();

    PostMessageW(a, WM_USER + 1, 11, 12);
    PostMessageW(b, WM_USER + 2, 21, 22);
    PostMessageW(a, WM_USER + 3, 31, 32);
    Report(kGroup, "posted_in_order", Drain(nullptr, 0, 0, a, b));

    Report(kGroup, "send_returns_the_answer", Number(SendMessageW(a, kAnswer, 0, 0)));
    SendMessageW(a, WM_USER + 7, 0, 0);
    Report(kGroup, "send_calls_at_once", MessageLog::Instance().Take());

    PostMessageW(a, WM_USER + 1, 0, 0);
    PostMessageW(b, WM_USER + 2, 0, 0);
    const std::string onlyB = Drain(b, 0, 0, a, b);
    Report(kGroup, "filter_by_window", onlyB + " / " + Drain(nullptr, 0, 0, a, b));

    PostMessageW(a, WM_USER + 1, 0, 0);
    PostMessageW(a, WM_USER + 10, 0, 0);
    const std::string onlyTen = Drain(nullptr, WM_USER + 10, WM_USER + 10, a, b);
    Report(kGroup, "filter_by_range", onlyTen + " / " + Drain(nullptr, 0, 0, a, b));

    PostMessageW(a, WM_USER + 4, 0, 0);
    MSG msg;
    const BOOL peeked = PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    const BOOL again = PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    Report(kGroup, "peek_without_removing", YesNo(peeked) + " " + YesNo(again) + " " + Drain(nullptr, 0, 0, a, b));
    Report(kGroup, "peek_empty_queue", YesNo(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)));

    HWND gone = MakeWindow(L"Conformance Gone");
    DestroyWindow(gone);
    PumpMessages();
    MessageLog::Instance().Take();
    SetLastError(0);
    const BOOL posted = PostMessageW(gone, WM_USER + 1, 0, 0);
    Report(kGroup, "post_to_destroyed_window", YesNo(posted) + " " + Error(GetLastError()));
    Report(kGroup, "send_to_destroyed_window", Number(SendMessageW(gone, kAnswer, 0, 0)));

    // hWnd -1 takes only the thread's own messages, those posted with no window; so do 1 and 0xFFFF.
    PostMessageW(a, WM_USER + 1, 0, 0);
    PostMessageW(nullptr, WM_USER + 2, 5, 6);
    std::string threadOnly;
    for (const LONG_PTR filter : {LONG_PTR{-1}, LONG_PTR{1}, LONG_PTR{0xFFFF}})
        threadOnly += PeekOnce(reinterpret_cast<HWND>(filter), PM_NOREMOVE, a, b) + " ";
    threadOnly += PeekOnce(reinterpret_cast<HWND>(LONG_PTR{-1}), PM_REMOVE, a, b) + " ";
    threadOnly += PeekOnce(reinterpret_cast<HWND>(LONG_PTR{-1}), PM_REMOVE, a, b);
    Report(kGroup, "peek_thread_messages_only", threadOnly + " / " + Drain(nullptr, 0, 0, a, b));

    // PM_NOYIELD changes nothing in what is taken.
    PostMessageW(a, WM_USER + 4, 0, 0);
    std::string noYield = PeekOnce(nullptr, PM_NOREMOVE | PM_NOYIELD, a, b);
    noYield += " " + PeekOnce(nullptr, PM_REMOVE | PM_NOYIELD, a, b);
    noYield += " " + PeekOnce(nullptr, PM_REMOVE | PM_NOYIELD, a, b);
    Report(kGroup, "peek_no_yield", noYield);

    // A window filter that names no window is an error: PeekMessageW fails at once, and
    // GetMessageW returns -1 rather than wait for what cannot come.
    SetLastError(0);
    const BOOL peekedGone = PeekMessageW(&msg, gone, 0, 0, PM_REMOVE);
    const std::string peekError = Error(GetLastError());
    SetLastError(0);
    const BOOL gotGone = GetMessageW(&msg, gone, 0, 0);
    Report(kGroup, "retrieve_for_a_destroyed_window",
           Number(peekedGone) + " " + peekError + " / " + Number(gotGone) + " " + Error(GetLastError()));

    // A destroyed window takes nothing sent or dispatched, and the caller learns why.
    SetLastError(0);
    SendMessageW(gone, kAnswer, 0, 0);
    const std::string sendError = Error(GetLastError());
    MSG toGone{gone, WM_USER + 1, 0, 0, 0, {0, 0}};
    SetLastError(0);
    const LRESULT dispatchedToGone = DispatchMessageW(&toGone);
    Report(kGroup, "send_and_dispatch_to_a_destroyed_window",
           sendError + " / " + Number(dispatchedToGone) + " " + Error(GetLastError()));

    // Messages whose parameters point into the caller's memory cannot wait in a queue.
    static const wchar_t kText[] = L"text";
    std::string pointers;
    for (const UINT message : {WM_SETTEXT, WM_GETTEXT, WM_CREATE, WM_SETTINGCHANGE}) {
        SetLastError(0);
        const BOOL posted = PostMessageW(a, message, 0, reinterpret_cast<LPARAM>(kText));
        pointers += YesNo(posted) + " " + Error(GetLastError()) + ", ";
    }
    SetLastError(0);
    const BOOL threadPosted = PostThreadMessageW(GetCurrentThreadId(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kText));
    pointers += YesNo(threadPosted) + " " + Error(GetLastError());
    Report(kGroup, "post_pointer_messages", pointers + " / " + Drain(nullptr, 0, 0, a, b));

    PosterArgs args{a, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    RunOnThread(PostThree, args);
    Report(kGroup, "posted_across_threads", Drain(nullptr, 0, 0, a, b));
    ResetEvent(args.done);
    RunOnThread(SendAcross, args);
    Report(kGroup, "sent_across_threads", Number(g_sentAnswer));
    // A message sent from another thread waits until this thread retrieves messages, and runs
    // before the posted message that the retrieval returns.
    ResetEvent(args.done);
    HANDLE sender = CreateThread(nullptr, 0, PostThenSend, &args, 0, nullptr);
    const std::string beforeRetrieval = WaitResult(WaitForSingleObject(args.done, 200));
    const std::string retrieved = PeekOnce(nullptr, PM_REMOVE, a, b);
    const std::string ranMeanwhile = MessageLog::Instance().Take();
    const std::string afterRetrieval = WaitResult(WaitForSingleObject(args.done, 1000));
    WaitForSingleObject(sender, INFINITE);
    CloseHandle(sender);
    Report(kGroup, "sent_waits_for_a_retrieval",
           beforeRetrieval + " / " + ranMeanwhile + " then " + retrieved + " / " + afterRetrieval);
    CloseHandle(args.done);

    // Another thread's window takes no dispatched message.
    WindowThreadArgs owner{nullptr, CreateEventW(nullptr, TRUE, FALSE, nullptr),
                           CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE windowThread = CreateThread(nullptr, 0, KeepWindow, &owner, 0, nullptr);
    WaitForSingleObject(owner.made, INFINITE);
    wchar_t text[32] = L"";
    MSG getText{owner.window, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text), 0, {0, 0}};
    SetLastError(0);
    const LRESULT dispatched = DispatchMessageW(&getText);
    Report(kGroup, "dispatch_to_another_threads_window", Number(dispatched) + " " + Error(GetLastError()));
    SetEvent(owner.end);
    WaitForSingleObject(windowThread, INFINITE);
    CloseHandle(windowThread);
    CloseHandle(owner.made);
    CloseHandle(owner.end);
    MessageLog::Instance().Take();

    // A thread waiting for its send to another thread is answered meanwhile: the other window's
    // procedure sends back to this thread before it answers.
    WindowThreadArgs echo{nullptr, CreateEventW(nullptr, TRUE, FALSE, nullptr),
                          CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE echoThread = CreateThread(nullptr, 0, KeepEchoWindow, &echo, 0, nullptr);
    WaitForSingleObject(echo.made, INFINITE);
    const LRESULT echoed = SendMessageW(echo.window, kEcho, 0, reinterpret_cast<LPARAM>(a));
    Report(kGroup, "sent_back_during_a_send", Number(echoed) + " " + MessageLog::Instance().Take());
    SetEvent(echo.end);
    WaitForSingleObject(echoThread, INFINITE);
    CloseHandle(echoThread);
    CloseHandle(echo.made);
    CloseHandle(echo.end);

    // A GetMessageW that waits for one window's messages of one kind still answers what other
    // threads send to any of the thread's windows.
    SendPostArgs sendPost{b, a};
    HANDLE sendPoster = CreateThread(nullptr, 0, SendThenPost, &sendPost, 0, nullptr);
    const BOOL gotFiltered = GetMessageW(&msg, a, WM_USER + 50, WM_USER + 50);
    const std::string filteredGot = Describe(msg, a, b);
    WaitForSingleObject(sendPoster, INFINITE);
    CloseHandle(sendPoster);
    Report(kGroup, "sent_runs_under_any_filter",
           MessageLog::Instance().Take() + " then " + Number(gotFiltered) + " " + filteredGot);

    // PostThreadMessageW needs the thread's queue, which its first window-manager call makes.
    QueueThreadArgs queued{CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, TRUE, FALSE, nullptr),
                           "-"};
    DWORD threadId = 0;
    HANDLE queueThread = CreateThread(nullptr, 0, TakeThreadMessage, &queued, 0, &threadId);
    SetLastError(0);
    const BOOL beforeQueue = PostThreadMessageW(threadId, WM_USER + 20, 1, 2);
    const std::string beforeError = Error(GetLastError());
    SetEvent(queued.go);
    WaitForSingleObject(queued.ready, INFINITE);
    const BOOL withQueue = PostThreadMessageW(threadId, WM_USER + 20, 1, 2);
    WaitForSingleObject(queueThread, INFINITE);
    SetLastError(0);
    const BOOL afterEnd = PostThreadMessageW(threadId, WM_USER + 20, 1, 2);
    const std::string afterError = Error(GetLastError());
    CloseHandle(queueThread);
    CloseHandle(queued.go);
    CloseHandle(queued.ready);
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 21, 3, 4);
    Report(kGroup, "post_to_a_thread",
           YesNo(beforeQueue) + " " + beforeError + " / " + YesNo(withQueue) + " " + queued.taken + " / " +
               YesNo(afterEnd) + " " + afterError + " / " + Drain(nullptr, 0, 0, a, b));

    PostMessageW(a, WM_USER + 1, 0, 0);
    PostQuitMessage(7);
    PostMessageW(a, WM_USER + 2, 0, 0);
    std::string order;
    for (int i = 0; i < 3 && GetMessageW(&msg, nullptr, 0, 0) >= 0; ++i) {
        order += (order.empty() ? "" : " ") + Describe(msg, a, b);
        if (msg.message == WM_QUIT)
            break;
    }
    Report(kGroup, "quit_after_posted", order);

    // A loop that takes only one window's messages must still see WM_QUIT.
    PostQuitMessage(3);
    const BOOL quitSeen = PeekMessageW(&msg, a, 0, 0, PM_REMOVE);
    Report(kGroup, "quit_through_window_filter", YesNo(quitSeen) + " " + (quitSeen ? Describe(msg, a, b) : "-"));
    Drain(nullptr, 0, 0, a, b);

    // Nor may a range that leaves WM_QUIT out hold it back.
    PostQuitMessage(4);
    const BOOL quitInRange = PeekMessageW(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE);
    Report(kGroup, "quit_through_a_range", YesNo(quitInRange) + " " + (quitInRange ? Describe(msg, a, b) : "-"));
    Drain(nullptr, 0, 0, a, b);

    // PM_NOREMOVE leaves WM_QUIT in place; a WM_QUIT posted as a thread message keeps its place
    // among the posted ones instead.
    PostQuitMessage(8);
    std::string kept = PeekOnce(nullptr, PM_NOREMOVE, a, b);
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 1, 0, 0);
    for (int i = 0; i < 3; ++i)
        kept += " " + PeekOnce(nullptr, PM_REMOVE, a, b);
    PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 9, 10);
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 2, 0, 0);
    const BOOL gotQuit = GetMessageW(&msg, nullptr, 0, 0);
    kept += " / " + Number(gotQuit) + " " + Describe(msg, a, b) + " " + Drain(nullptr, 0, 0, a, b);
    Report(kGroup, "quit_left_in_place", kept);

    Report(kGroup, "generated_order", GeneratedOrder());

    // A WM_PAINT is not removed: it comes again until the window is validated.
    HWND painted = MakeWindow(L"Conformance Painted", 10, 10, 60, 60);
    ShowWindow(painted, SW_SHOWNA);
    PumpMessages();
    MessageLog::Instance().Take();
    InvalidateRect(painted, nullptr, FALSE);
    std::string paints;
    for (int i = 0; i < 2; ++i)
        paints +=
            std::string(PeekMessageW(&msg, painted, 0, 0, PM_REMOVE) && msg.message == WM_PAINT ? "paint" : "-") + " ";
    ValidateRect(painted, nullptr);
    paints += PeekMessageW(&msg, painted, 0, 0, PM_REMOVE) ? Number(msg.message) : "-";
    Report(kGroup, "paint_until_validated", paints);
    DestroyWindow(painted);
    PumpMessages();
    MessageLog::Instance().Take();

    // What was posted to a window goes with it, WM_QUIT too.
    HWND doomed = MakeWindow(L"Conformance Doomed");
    PostMessageW(doomed, WM_USER + 1, 1, 2);
    PostMessageW(doomed, WM_QUIT, 0x1234, 0x5678);
    PostMessageW(doomed, WM_QUIT, 0x4321, 0x8765);
    DestroyWindow(doomed);
    std::string left;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT || msg.message >= WM_USER)
            left += (left.empty() ? "" : " ") + Describe(msg, a, b);
        else
            DispatchMessageW(&msg);
    }
    MessageLog::Instance().Take();
    Report(kGroup, "posted_to_a_destroyed_window", left.empty() ? "-" : left);

    // HWND_BROADCAST posts to every top-level window, not to children, and only messages below
    // WM_USER (or registered ones): the private range is not broadcast, though the call succeeds.
    HWND child = CreateWindowExW(0, L"ConformanceWindow", L"", WS_CHILD, 0, 0, 10, 10, a, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    const BOOL broadcastLow = PostMessageW(HWND_BROADCAST, WM_NULL, 0, 0);
    const BOOL broadcastUser = PostMessageW(HWND_BROADCAST, WM_USER + 3, 0, 0);
    Report(kGroup, "post_broadcast",
           YesNo(broadcastLow) + " " + YesNo(broadcastUser) + " " + BroadcastReached(a, b, child));
    // Posting to -1 (HWND_TOPMOST's value) broadcasts too.
    const BOOL broadcastTopmost = PostMessageW(reinterpret_cast<HWND>(LONG_PTR{-1}), WM_NULL, 0, 0);
    Report(kGroup, "post_to_minus_one", YesNo(broadcastTopmost) + " " + BroadcastReached(a, b, child));
    DestroyWindow(child);
    DestroyWindow(a);
    DestroyWindow(b);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
