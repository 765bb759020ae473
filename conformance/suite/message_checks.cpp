// Messages: posting and sending, the order across threads, filters, PeekMessageW's flags,
// WM_QUIT, dispatching to another thread's window and posting to a thread.
#include "report.hpp"
#include "test_window.hpp"

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

    PosterArgs args{a, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    RunOnThread(PostThree, args);
    Report(kGroup, "posted_across_threads", Drain(nullptr, 0, 0, a, b));
    ResetEvent(args.done);
    RunOnThread(SendAcross, args);
    Report(kGroup, "sent_across_threads", Number(g_sentAnswer));
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

    DestroyWindow(a);
    DestroyWindow(b);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
