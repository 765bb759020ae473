// The window manager with device threads running at the same time (ThreadSanitizer runs these).
#include "window_test_support.hpp"

#include <atomic>

namespace velorin::test {
namespace {

TEST(WindowFreeMode, UserDataWrittenByOneThreadIsReadByAnother)
{
    platform::Device device({.run = kernel::RunMode::Free});
    static HWND s_window;
    static std::atomic<bool> s_monotonic{true};
    static std::atomic<LONG> s_last{0};
    launch(device, [] {
        s_window = createRecorder();
        HANDLE writer = CreateThread(
            nullptr, 0,
            [](LPVOID) -> DWORD {
                for (LONG i = 1; i <= 2000; ++i)
                    SetWindowLongW(s_window, GWL_USERDATA, i);
                return 0;
            },
            nullptr, 0, nullptr);
        LONG previous = 0;
        while (previous < 2000) {
            const LONG now = GetWindowLongW(s_window, GWL_USERDATA);
            if (now < previous)
                s_monotonic = false;
            previous = now;
        }
        s_last = previous;
        WaitForSingleObject(writer, INFINITE);
    });
    device.runFor(1000);
    EXPECT_TRUE(s_monotonic);
    EXPECT_EQ(s_last, 2000);
}

TEST(WindowFreeMode, PostsAndSendsFromAnotherThreadAllArrive)
{
    platform::Device device({.run = kernel::RunMode::Free});
    static HWND s_window;
    static std::atomic<int> s_doubledSum{0};
    launch(device, [] {
        s_window = createRecorder();
        ValidateRect(s_window, nullptr);
        CreateThread(
            nullptr, 0,
            [](LPVOID) -> DWORD {
                for (int i = 0; i < 100; ++i) {
                    PostMessageW(s_window, WM_USER + 1, i, 0);
                    s_doubledSum += static_cast<int>(SendMessageW(s_window, kDoubleMessage, i, 0));
                }
                PostMessageW(s_window, kQuitMessage, 0, 0);
                return 0;
            },
            nullptr, 0, nullptr);
        pump();
    });
    device.runFor(1000);
    const auto lines = MessageLog::instance().take();
    EXPECT_EQ(lines.size(), 201u);
    EXPECT_EQ(s_doubledSum, 2 * 4950);
}

}  // namespace
}  // namespace velorin::test
