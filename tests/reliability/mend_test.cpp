// What the simulation found in the utility, one test each: a failed call or an early request that
// left the device in the wrong state for good, or a loop that spun.
#include "app/process_globals.h"
#include "tests/reliability/call_watch.hpp"

#include "services/power_source.h"
#include "services/saved_settings.h"
#include "tests/support/utility_test_support.hpp"

#include <memory>

namespace velorin::reliability {
namespace {

using test::chargeScreen;
using test::dword;
using test::Root;

class Mends : public ::testing::Test {
protected:
    Mends() : harness(options())
    {
        watch.attach(harness);
        harness.power(0, 40);
        harness.launch();
        harness.runFor(1000);  // on battery: the first run has hidden the window
    }
    ~Mends() override { ResetProcessGlobals(); }

    sim::HarnessOptions options()
    {
        sim::HarnessOptions options = test::utilityOptions();
        options.traceSink = &watch.sink();
        return options;
    }
    // Fails the next `count` calls of `function`, from now on.
    void failNext(const std::string& function, int count = 1)
    {
        auto left = std::make_shared<int>(count);
        harness.faults().failWhile(function, [left] { return (*left)-- > 0; });
    }
    bool shown() { return harness.windowVisible(*harness.mainWindow()); }

    CallWatch watch;
    sim::Harness harness;
};

TEST_F(Mends, ARequestThatCannotBePostedIsAskedAgainAtTheNextReading)
{
    failNext("PostMessageW");  // the monitor's request for AC
    harness.power(1, 41);
    harness.runFor(3000);
    ASSERT_EQ(watch.faultsOn("PostMessageW"), 1);
    EXPECT_FALSE(shown()) << "the request was lost";
    // The next reading on AC, a new percentage only, asks again.
    harness.power(std::nullopt, 42);
    harness.runFor(3000);
    EXPECT_TRUE(shown()) << "the charging screen came with the next reading";
    EXPECT_EQ(harness.orientationDegrees(), 90);
}

TEST_F(Mends, ALostAdvanceEndsTheRunSoThatTheNextRequestRunsAgain)
{
    harness.power(1, 41);
    harness.runFor(3000);
    harness.power(0, 42);
    harness.runFor(4000);
    // The request, the dispatch's first step, then that step's advance, which is lost.
    harness.faults().failNth("PostMessageW", harness.faults().callCount("PostMessageW") + 3);
    harness.power(1, 43);
    harness.runFor(3000);
    ASSERT_EQ(watch.faultsOn("PostMessageW"), 1);
    EXPECT_EQ(chargeScreen(harness)->m_pendingRuns, 0) << "the run ended instead of waiting for an advance";
    // Later requests run whole sequences again.
    harness.power(0, 44);
    harness.runFor(4000);
    harness.power(1, 45);
    harness.runFor(4000);
    EXPECT_TRUE(shown());
    EXPECT_EQ(dword(harness, Root::CurrentUser, kBacklightKey, kAcBacklightLevel), 10u) << "the ramp ran";
}

TEST_F(Mends, ChargingAgainBeforeTheBatteryRampHasEndedCapturesNothing)
{
    harness.power(1, 41);
    harness.runFor(5000);  // the AC run and its ramp have ended: a reload is allowed again
    harness.power(0, 42);  // the battery run writes "BatteryBacklightLevel" 11; its ramp follows
    harness.runFor(300);
    harness.power(1, 43);  // before that ramp has put the level back
    harness.runFor(5000);
    EXPECT_EQ(g_savedBatteryBacklightLevel, 5) << "the step's 11 was captured as the user's level";
    EXPECT_EQ(g_savedAcBacklightLevel, 8);
    harness.power(0, 44);
    harness.runFor(5000);
    EXPECT_EQ(dword(harness, Root::CurrentUser, kBacklightKey, kBatteryBacklightLevel), 5u);
    EXPECT_EQ(dword(harness, Root::CurrentUser, kBacklightKey, kAcBacklightLevel), 8u);
}

TEST_F(Mends, ACloseWhoseRequestCannotBePostedEndsTheUtilityAtOnce)
{
    harness.power(1, 41);
    harness.runFor(3000);
    const RECT r = chargeScreen(harness)->m_symbolRect;
    harness.tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const auto close = harness.device().windows().buttonCentre(L"Close");
    ASSERT_TRUE(close);
    failNext("PostMessageW");  // the request that the choice makes
    harness.tap(close->x, close->y);
    harness.runFor(500);
    ASSERT_EQ(watch.faultsOn("PostMessageW"), 1);
    EXPECT_FALSE(harness.programRunning()) << "the Close waited for the next power report";
    EXPECT_EQ(dword(harness, Root::CurrentUser, kBacklightKey, kAcBacklightLevel), 8u);
    EXPECT_EQ(harness.orientationDegrees(), 0);
}

TEST_F(Mends, ADismissWhoseRequestCannotBePostedHidesTheScreenAtOnce)
{
    harness.power(1, 41);
    harness.runFor(3000);
    const RECT r = chargeScreen(harness)->m_symbolRect;
    harness.tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const auto dismiss = harness.device().windows().buttonCentre(L"Dismiss");
    ASSERT_TRUE(dismiss);
    failNext("PostMessageW");
    harness.tap(dismiss->x, dismiss->y);
    harness.runFor(3000);
    ASSERT_EQ(watch.faultsOn("PostMessageW"), 1);
    EXPECT_FALSE(shown()) << "the Dismiss waited for the next power report";
    EXPECT_EQ(harness.orientationDegrees(), 0);
}

TEST_F(Mends, ThePromptKeepsItsSizeWhenItsRectangleCannotBeRead)
{
    harness.power(1, 41);
    harness.runFor(3000);
    const RECT r = chargeScreen(harness)->m_symbolRect;
    failNext("GetWindowRect");
    harness.tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ASSERT_EQ(watch.faultsOn("GetWindowRect"), 1);
    const auto dismiss = harness.device().windows().buttonCentre(L"Dismiss");
    ASSERT_TRUE(dismiss);
    harness.tap(dismiss->x, dismiss->y);
    EXPECT_FALSE(harness.device().windows().buttonCentre(L"Dismiss")) << "the prompt's buttons were out of reach";
    EXPECT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_DISMISSED);
}

TEST_F(Mends, AReadOfThePowerQueueThatKeepsFailingDoesNotSpin)
{
    failNext("ReadMsgQueue", 30);
    const auto before = harness.faults().callCount("ReadMsgQueue");
    harness.power(1, 41);
    harness.runFor(10000);
    // One try a second, where a spin would have made thousands at one instant.
    EXPECT_LE(harness.faults().callCount("ReadMsgQueue") - before, 12u);
    EXPECT_TRUE(watch.violations().empty()) << watch.violations().front();
    harness.runFor(30000);
    EXPECT_TRUE(shown()) << "the reading came through once the reads worked again";
}

}  // namespace
}  // namespace velorin::reliability
