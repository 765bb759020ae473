// The utility and the device's power model together: the charging screen keeps the device awake
// while it shows, the device sleeps as usual while it is hidden, and the pictures follow the
// backlight that the sequences and the ramp drive.
#include "tests/support/utility_test_support.hpp"

namespace velorin::test {
namespace {

constexpr WCHAR kTimeouts[] = L"System\\CurrentControlSet\\Control\\Power\\Timeouts";

// The mean brightness of the screen as the user sees it.
double meanLevel(Harness& harness)
{
    const gdi::Surface seen = harness.screenAsSeen();
    double sum = 0;
    for (int y = 0; y < seen.height(); ++y)
        for (int x = 0; x < seen.width(); ++x) {
            const auto p = seen.pixel(x, y);
            sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
        }
    return sum / (seen.width() * seen.height());
}

TEST(KeepAwake, WhileTheScreenShowsTheDeviceNeverLeavesOn)
{
    Harness harness(utilityOptions());
    setDword(harness, Root::LocalMachine, kTimeouts, L"ACUserIdle", 15);
    setDword(harness, Root::LocalMachine, kTimeouts, L"ACSuspend", 30);
    harness.power(1, 50);
    harness.launch();
    harness.runUntil(10 * 60 * 1000);
    EXPECT_TRUE(harness.windowVisible(*harness.mainWindow()));
    EXPECT_TRUE(linesWith(harness, " pm.state").empty()) << linesWith(harness, " pm.state").front();
    // Both events once for every tick of the ten-second timer while shown, the activity first.
    const Lines signals = linesWith(harness, " event.signal");
    ASSERT_EQ(signals.size(), 2u * 60u);
    EXPECT_EQ(signals[0], "10000 event.signal \"PowerManager/ActivityTimer/SystemActivity\"");
    EXPECT_EQ(signals[1], "10000 event.signal \"PowerManager/ReloadActivityTimeouts\"");
}

TEST(KeepAwake, WhileHiddenTheDeviceDimsAndSleepsAndAChargerWakesIt)
{
    Harness harness(utilityOptions());
    setDword(harness, Root::LocalMachine, kTimeouts, L"BattUserIdle", 5);
    setDword(harness, Root::LocalMachine, kTimeouts, L"BattSuspend", 10);
    harness.launch();
    harness.runUntil(60 * 1000);
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow()));
    EXPECT_TRUE(linesWith(harness, " event.signal").empty()) << "nothing keeps it awake while hidden";
    EXPECT_EQ(linesWith(harness, " pm.state"), (Lines{"5000 pm.state UserIdle", "10000 pm.state Suspend"}));

    harness.power(1, 50);
    harness.runUntil(65 * 1000);
    EXPECT_NE(firstLineWith(harness, "60000 pm.state On"), -1);
    EXPECT_TRUE(harness.windowVisible(*harness.mainWindow())) << "the charging screen came up";
}

TEST(KeepAwake, TheScreenIsBlackWhileTheBacklightIsOffAndBrightensWithTheRamp)
{
    Harness harness(utilityOptions());
    harness.launch();
    harness.runUntil(1000);
    harness.power(1, 50);
    harness.runUntil(1500);  // in the pause: the backlight is off
    EXPECT_EQ(meanLevel(harness), 0.0);
    harness.runUntil(3150);  // the ramp at level 1
    const double during = meanLevel(harness);
    harness.runUntil(6000);
    const double after = meanLevel(harness);
    EXPECT_GT(during, 0.0);
    EXPECT_LT(during, after);
    EXPECT_EQ(harness.backlight().level, 10);
}

}  // namespace
}  // namespace velorin::test
