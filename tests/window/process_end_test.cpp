// A process's end: its windows go with it, and with them the foreground, to no other window.
#include "window_test_support.hpp"

#include <algorithm>

namespace velorin::test {
namespace {

TEST(ProcessEnd, TheForegroundGoesWithItsWindowsToNoOtherWindow)
{
    Device device;
    static HWND s_survivor, s_first, s_second, s_foregroundBefore;
    launch(device, [] {
        s_survivor = createRecorder(L"Survivor");
        SetForegroundWindow(s_survivor);
        pump();
    });
    device.runFor(10);
    const auto dying = launch(device, [] {
        s_first = createRecorder(L"First");
        s_second = createRecorder(L"Second");
        SetForegroundWindow(s_first);
        s_foregroundBefore = GetForegroundWindow();
        Sleep(100);
    });
    device.runFor(200);
    ASSERT_FALSE(device.running(dying));
    EXPECT_EQ(s_foregroundBefore, s_first);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_TRUE(IsWindow(s_survivor));
    EXPECT_FALSE(IsWindow(s_first));
    EXPECT_FALSE(IsWindow(s_second));

    // Between the end and now, no window was made foreground, a dying one least of all.
    const auto& lines = device.trace().lines();
    const std::string exitLine = " exit pid=" + std::to_string(dying);
    const auto exit = std::find_if(lines.begin(), lines.end(),
                                   [&](const std::string& l) { return l.find(exitLine) != std::string::npos; });
    ASSERT_NE(exit, lines.end());
    std::vector<std::string> foregrounds;
    for (auto it = exit; it != lines.end(); ++it) {
        if (it->find("window.foreground") != std::string::npos)
            foregrounds.push_back(*it);
    }
    EXPECT_EQ(foregrounds, std::vector<std::string>{});
    // The survivor's paint is no other test's.
    MessageLog::instance().take();
}

}  // namespace
}  // namespace velorin::test
