// The order in which a thread's queue gives out messages, across threads, and its timers.
#include "window_test_support.hpp"

namespace velorin::test {
namespace {

TEST(MessageQueue, GivesSentThenPostedAndInputThenPaintThenTimer)
{
    Device device;
    static HWND s_window;
    launch(device, [] {
        s_window = createRecorder();
        SetTimer(s_window, 7, 100, nullptr);
        PostMessageW(s_window, WM_USER + 1, 0, 0);
        CreateThread(
            nullptr, 0,
            [](LPVOID) -> DWORD {
                Sleep(100);
                SendMessageW(s_window, WM_USER + 2, 0, 0);
                Sleep(150);
                PostMessageW(s_window, kQuitMessage, 0, 0);
                return 0;
            },
            nullptr, 0, nullptr);
        Sleep(500);
        pump();
    });
    device.runUntil(200);
    device.windows().tap(10, 20);
    device.runUntil(1000);
    EXPECT_EQ(
        MessageLog::instance().take(),
        (Lines{"500 WM_USER+2 0", "500 WM_USER+1 0", "500 WM_LBUTTONDOWN 1 (10,20)", "500 WM_LBUTTONUP 0 (10,20)",
               "500 WM_PAINT 0", "500 WM_ERASEBKGND hdc", "500 WM_TIMER 7", "600 WM_TIMER 7", "650 WM_USER+99 0"}));
}

TEST(MessageQueue, PostsFromSeveralThreadsArriveInTheOrderTheyWereMade)
{
    Device device({.seed = 3});
    static HWND s_window;
    static std::vector<std::string> s_posted;
    s_posted.clear();
    launch(device, [] {
        s_window = createRecorder();
        const LPTHREAD_START_ROUTINE poster = [](LPVOID param) -> DWORD {
            const auto base = static_cast<WPARAM>(reinterpret_cast<std::uintptr_t>(param));
            for (WPARAM i = 0; i < 20; ++i) {
                s_posted.push_back("0 WM_USER+1 " + std::to_string(base + i));
                PostMessageW(s_window, WM_USER + 1, base + i, 0);
                Sleep(0);
            }
            return 0;
        };
        HANDLE threads[] = {CreateThread(nullptr, 0, poster, reinterpret_cast<LPVOID>(100), 0, nullptr),
                            CreateThread(nullptr, 0, poster, reinterpret_cast<LPVOID>(200), 0, nullptr)};
        for (HANDLE thread : threads)
            WaitForSingleObject(thread, INFINITE);
        PostMessageW(s_window, kQuitMessage, 0, 0);
        pump();
    });
    device.runFor(100);
    auto received = MessageLog::instance().take();
    ASSERT_EQ(received.size(), 41u);
    received.pop_back();
    // The order is the point, not the moment: a thread this busy uses up device time.
    for (auto& line : received)
        line = "0" + line.substr(line.find(' '));
    EXPECT_EQ(received, s_posted);
    // Both threads got turns in between, or the test proves nothing about crossing threads.
    EXPECT_TRUE(std::any_of(s_posted.begin(), s_posted.begin() + 20,
                            [](const std::string& line) { return line.find(" 2") != std::string::npos; }));
}

TEST(MessageQueue, ATimerOwedAfterALongBlockFiresOnceThenKeepsItsPeriod)
{
    Device device;
    launch(device, [] {
        HWND window = createRecorder();
        SetTimer(window, 1, 100, nullptr);
        Sleep(1000);
        SetTimer(nullptr, 0, 250, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
        pump();
    });
    device.runFor(2000);
    EXPECT_EQ(MessageLog::instance().take(), (Lines{"1000 WM_PAINT 0", "1000 WM_ERASEBKGND hdc", "1000 WM_TIMER 1",
                                                    "1100 WM_TIMER 1", "1200 WM_TIMER 1"}));
}

TEST(MessageQueue, KillTimerDoesNotTakeBackATickAlreadyRetrieved)
{
    Device device;
    static bool s_morePending = true;
    launch(device, [] {
        HWND window = createRecorder();
        ValidateRect(window, nullptr);
        SetTimer(window, 4, 80, nullptr);
        MSG msg;
        GetMessageW(&msg, nullptr, 0, 0);
        KillTimer(window, 4);
        DispatchMessageW(&msg);
        Sleep(500);
        s_morePending = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
    });
    device.runFor(1000);
    EXPECT_EQ(MessageLog::instance().take(), (Lines{"80 WM_TIMER 4"}));
    EXPECT_FALSE(s_morePending);
}

TEST(MessageQueue, APostedTimerMessageCallsNoUnknownCallback)
{
    // Only a callback of one of the thread's own timers is called; any other lParam is data.
    Device device;
    static int s_calls = 0;
    launch(device, [] {
        HWND window = createRecorder();
        ValidateRect(window, nullptr);
        PostMessageW(window, WM_TIMER, 6, 0x1234);
        SetTimer(window, 7, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++s_calls; });
        MSG msg;
        for (int i = 0; i < 2 && GetMessageW(&msg, nullptr, 0, 0); ++i)
            DispatchMessageW(&msg);
        KillTimer(window, 7);
    });
    device.runFor(1000);
    EXPECT_EQ(MessageLog::instance().take(), (Lines{"0 WM_TIMER 6"}));
    EXPECT_EQ(s_calls, 1);
}

TEST(MessageQueue, AFilteredWaitSleepsThroughTimersItLeavesOut)
{
    // Another window's due timer must not keep a wait filtered on this one from sleeping.
    Device device;
    static DWORD s_gotAt = 0;
    static HWND s_window = nullptr;
    launch(device, [] {
        s_window = createRecorder(L"A");
        HWND other = createRecorder(L"B");
        SetTimer(other, 1, 10, nullptr);
        CreateThread(
            nullptr, 0,
            [](LPVOID) -> DWORD {
                Sleep(500);
                PostMessageW(s_window, WM_USER + 1, 0, 0);
                return 0;
            },
            nullptr, 0, nullptr);
        MSG msg;
        GetMessageW(&msg, s_window, WM_USER, WM_USER + 10);
        s_gotAt = GetTickCount();
    });
    device.runFor(1000);
    EXPECT_EQ(s_gotAt, 500u);
}

TEST(MessageQueue, SendMessageAcrossThreadsWaitsForTheAnswer)
{
    Device device;
    static HWND s_window;
    static LRESULT s_answer = 0;
    static DWORD s_answeredAt = 0;
    launch(device, [] {
        s_window = createRecorder();
        ValidateRect(s_window, nullptr);
        CreateThread(
            nullptr, 0,
            [](LPVOID) -> DWORD {
                s_answer = SendMessageW(s_window, kDoubleMessage, 21, 0);
                s_answeredAt = GetTickCount();
                PostMessageW(s_window, kQuitMessage, 0, 0);
                return 0;
            },
            nullptr, 0, nullptr);
        Sleep(300);  // the sender waits until this thread looks at its queue again
        pump();
    });
    device.runFor(1000);
    EXPECT_EQ(s_answer, 42);
    EXPECT_EQ(s_answeredAt, 300u);
    EXPECT_EQ(MessageLog::instance().take(), (Lines{"300 WM_USER+3 21", "300 WM_USER+99 0"}));
}

TEST(MessageQueue, PostingToADestroyedWindowFailsWithTheWindowError)
{
    Device device;
    static BOOL s_posted = TRUE;
    static DWORD s_error = 0;
    launch(device, [] {
        HWND window = createRecorder();
        DestroyWindow(window);
        s_posted = PostMessageW(window, WM_USER + 1, 0, 0);
        s_error = GetLastError();
    });
    device.runFor(10);
    EXPECT_EQ(s_posted, FALSE);
    EXPECT_EQ(s_error, ERROR_INVALID_WINDOW_HANDLE);
}

// The desktop documents -1 for a bad record, so no line compared with Wine can hold CE's zero.
TEST(MessageQueue, GetMessageWithoutARecordAnswersZeroAsCEDocumentsIt)
{
    Device device;
    static BOOL s_got = -2;
    static DWORD s_error = 0;
    launch(device, [] {
        createRecorder();
        s_got = GetMessageW(nullptr, nullptr, 0, 0);
        s_error = GetLastError();
    });
    device.runFor(10);
    EXPECT_EQ(s_got, FALSE);
    EXPECT_EQ(s_error, ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace velorin::test
