// The charging screen's four timers: their periods, the one-shot hide, keep-awake only while
// shown, and the foreground at each animation tick.
#include "services/power_source.h"
#include "screen/charge_screen_messages.h"
#include "tests/support/utility_test_support.hpp"

namespace velorin::test {
namespace {

std::size_t ticksOf(Harness& harness, UINT_PTR id)
{
    return linesWith(harness, "dispatch hwnd=0x10000 WM_TIMER wparam=" + std::to_string(id) + " ").size();
}

TEST(ChargeScreenTimers, TickAtTheirPeriodsAndTheHideTimerOnlyOnce)
{
    Harness harness(utilityOptions());
    harness.launch();
    harness.runUntil(10000);
    EXPECT_EQ(linesWith(harness, "call SetTimer("),
              (Lines{"0 call SetTimer(0x10000, 1, 900, NULL) = 1", "0 call SetTimer(0x10000, 2, 10000, NULL) = 2",
                     "0 call SetTimer(0x10000, 3, 100, NULL) = 3", "0 call SetTimer(0x10000, 4, 80, NULL) = 4"}));
    EXPECT_EQ(ticksOf(harness, TIMER_ANIMATION), 11u);
    EXPECT_EQ(ticksOf(harness, TIMER_KEEP_AWAKE), 1u);
    EXPECT_EQ(ticksOf(harness, TIMER_BACKLIGHT_RAMP), 100u);
    EXPECT_EQ(ticksOf(harness, TIMER_INITIAL_HIDE), 1u);
    EXPECT_EQ(linesWith(harness, "call KillTimer(0x10000, 4) = 1").size(), 1u);
}

TEST(ChargeScreenTimers, TheFirstHideTickHidesUnlessThePowerSourceIsAc)
{
    for (const BYTE source : {POWER_SOURCE_UNKNOWN, POWER_SOURCE_BATTERY, POWER_SOURCE_DISMISSED, POWER_SOURCE_AC}) {
        Harness harness(utilityOptions());
        refusePowerNews(harness);
        harness.launch();
        harness.runUntil(50);
        g_powerSource = source;
        harness.runUntil(79);
        const HWND window = *harness.mainWindow();
        EXPECT_TRUE(harness.windowVisible(window));
        harness.runUntil(80);
        EXPECT_EQ(harness.windowVisible(window), source == POWER_SOURCE_AC) << int(source);
        EXPECT_EQ(linesWith(harness, " window.hide").size(), source == POWER_SOURCE_AC ? 0u : 1u) << int(source);
    }
}

TEST(ChargeScreenTimers, KeepAwakeIsPostedOnlyWhileTheWindowShows)
{
    Harness harness(utilityOptions());
    harness.launch();
    harness.runUntil(25000);  // hidden since 80 ms
    EXPECT_EQ(ticksOf(harness, TIMER_KEEP_AWAKE), 2u);
    EXPECT_TRUE(linesWith(harness, "WM_KEEP_AWAKE").empty());

    ShowWindow(*harness.mainWindow(), SW_SHOW);
    harness.runUntil(30000);
    EXPECT_EQ(linesWith(harness, "call PostMessageW(0x10000, 32869, 0, 0) = 1"),
              (Lines{"30000 call PostMessageW(0x10000, 32869, 0, 0) = 1"}));
    EXPECT_EQ(linesWith(harness, "dispatch hwnd=0x10000 WM_KEEP_AWAKE wparam=0 lparam=0"),
              (Lines{"30000 dispatch hwnd=0x10000 WM_KEEP_AWAKE wparam=0 lparam=0"}));
}

TEST(ChargeScreenTimers, TheAnimationTickBringsTheShownWindowToTheFront)
{
    Harness harness(utilityOptions());
    refusePowerNews(harness);
    harness.launch();
    harness.runUntil(50);
    g_powerSource = POWER_SOURCE_AC;  // stays shown
    harness.runUntil(2000);
    EXPECT_EQ(linesWith(harness, "call SetForegroundWindow(0x10000)").size(), 2u) << "at 900 and 1800 ms";

    chargeScreen(harness)->m_drawingEnabled = FALSE;
    harness.runUntil(3000);
    EXPECT_EQ(linesWith(harness, "call SetForegroundWindow(0x10000)").size(), 2u) << "not while drawing is off";
}

}  // namespace
}  // namespace velorin::test
