// Start-up: the enabling value decides whether anything happens at all, a second start leaves
// the first alone, and each first start begins with fresh process-wide state.
#include "app/process_globals.h"
#include "services/power_source.h"
#include "services/saved_settings.h"
#include "tests/support/utility_test_support.hpp"

namespace velorin::test {
namespace {

constexpr WCHAR kBatteryKey[] = L"Drivers\\BuiltIn\\Battery";

// What a start that ends at once must not have done.
void expectNothingDone(Harness& harness)
{
    EXPECT_FALSE(harness.programRunning());
    ASSERT_TRUE(harness.lastEnded());
    EXPECT_EQ(harness.lastEnded()->exitCode, 0);
    EXPECT_FALSE(harness.mainWindow());
    EXPECT_TRUE(linesWith(harness, " window.").empty());
    EXPECT_TRUE(linesWith(harness, "ControlPanel").empty()) << "nothing read or written there";
    EXPECT_TRUE(linesWith(harness, "GDI\\\\Rotation").empty());
    EXPECT_TRUE(linesWith(harness, "call CreateThread(").empty());
    EXPECT_TRUE(linesWith(harness, "call CreateEventW(").empty());
}

TEST(StartUp, EndsAtOnceWhenTheEnablingValueIsMissingZeroOrHasNoKey)
{
    {
        Harness harness(utilityOptions());
        harness.deleteRegistryValue(Root::LocalMachine, kBatteryKey, L"Velorin");
        harness.launch();
        harness.settle();
        SCOPED_TRACE("value missing");
        expectNothingDone(harness);
    }
    {
        Harness harness(utilityOptions());
        setDword(harness, Root::LocalMachine, kBatteryKey, L"Velorin", 0);
        harness.launch();
        harness.settle();
        SCOPED_TRACE("value 0");
        expectNothingDone(harness);
    }
    {
        Harness harness(utilityOptions());
        harness.deleteRegistryKey(Root::LocalMachine, kBatteryKey);
        harness.launch();
        harness.settle();
        SCOPED_TRACE("key missing");
        expectNothingDone(harness);
        EXPECT_TRUE(linesWith(harness, "call RegQueryValueExW(").empty()) << "no key, nothing to read";
    }
}

TEST(StartUp, AnyValueThatLeavesANonZeroNumberEnablesWhateverItsTypeOrLength)
{
    const registry::Value values[] = {
        registry::dwordValue(L"Velorin", 1),
        registry::dwordValue(L"Velorin", 0xFFFFFFFF),
        registry::Value{L"Velorin", REG_BINARY, {2, 0, 0, 0}},
        // Three bytes over the default 0 make 1.
        registry::Value{L"Velorin", REG_DWORD, {1, 0, 0}},
    };
    for (const auto& value : values) {
        Harness harness(utilityOptions());
        refusePowerNews(harness);
        harness.setRegistryValue(Root::LocalMachine, kBatteryKey, value);
        harness.launch();
        harness.runFor(10);
        EXPECT_TRUE(harness.programRunning()) << registry::describeData(value);
        const auto window = harness.mainWindow();
        ASSERT_TRUE(window);
        EXPECT_TRUE(harness.windowVisible(*window));
    }
}

TEST(StartUp, LooksForAnotherInstanceFirstAndHoldsTheEnablingKeyUntilTheRunEnds)
{
    Harness harness(utilityOptions());
    refusePowerNews(harness);
    harness.launch();
    harness.runFor(10);
    harness.key(VK_ESCAPE);
    ASSERT_FALSE(harness.programRunning());

    const Lines calls = linesWith(harness, " call ");
    ASSERT_GE(calls.size(), 3u);
    EXPECT_NE(calls[0].find("call FindWindowW(NULL, \"Velorin\") = NULL"), std::string::npos) << calls[0];
    EXPECT_NE(calls[1].find("call RegOpenKeyExW(HKLM, \"Drivers\\\\BuiltIn\\\\Battery\", 0, 131097"), std::string::npos)
        << calls[1];
    EXPECT_NE(calls[2].find("call RegQueryValueExW("), std::string::npos) << calls[2];
    EXPECT_NE(calls[2].find("\"Velorin\""), std::string::npos) << calls[2];
    // The enabling key is the last thing closed: after the run, and after the window object's end.
    const std::string key = calls[2].substr(calls[2].find('(') + 1, calls[2].find(',') - calls[2].find('(') - 1);
    EXPECT_EQ(calls.back().substr(calls.back().find("call ")), "call RegCloseKey(" + key + ") = 0");
    EXPECT_LT(firstLineWith(harness, "call DialogBoxParamW("), firstLineWith(harness, "call RegCloseKey(" + key));
    EXPECT_EQ(linesWith(harness, "call RegCloseKey(" + key + ")").size(), 1u);
}

// A second start while the first runs, shown or hidden: it only looks, and ends.
void expectSecondStartEndsAtOnce(Harness& harness, bool firstVisible)
{
    const HWND first = *harness.mainWindow();
    ASSERT_EQ(harness.windowVisible(first), firstVisible);
    g_savedAngle = 12345;  // the running instance's state, which a second start must not reset
    harness.launch();
    harness.settle();

    EXPECT_TRUE(harness.programRunning());
    const auto second = harness.instances().back();
    EXPECT_FALSE(harness.device().running(second));
    const Lines own = linesWithSince(harness, "", "launch pid=" + std::to_string(second));
    ASSERT_FALSE(own.empty());
    EXPECT_NE(own.front().find("call FindWindowW(NULL, \"Velorin\") = 0x"), std::string::npos) << own.front();
    EXPECT_NE(own.back().find("exit pid=" + std::to_string(second) + " code=0"), std::string::npos);
    EXPECT_EQ(own.size(), 2u) << "found the window, ended; nothing else";
    EXPECT_EQ(harness.windowVisible(first), firstVisible);
    EXPECT_EQ(*harness.mainWindow(), first);
    EXPECT_EQ(g_savedAngle, 12345u);
}

TEST(StartUp, ASecondStartFindsTheFirstShownOrHiddenAndEndsAtOnce)
{
    Harness harness(utilityOptions());
    refusePowerNews(harness);
    harness.launch();
    harness.runFor(10);
    {
        SCOPED_TRACE("first shown");
        expectSecondStartEndsAtOnce(harness, true);
    }
    harness.runFor(1000);
    {
        SCOPED_TRACE("first hidden");
        expectSecondStartEndsAtOnce(harness, false);
    }
}

TEST(StartUp, ASecondStartWhileTheClosePromptIsUpEndsAtOnceAndLeavesThePromptWorking)
{
    Harness harness(utilityOptions());
    harness.power(1, 60);
    harness.launch();
    harness.runFor(3000);
    const RECT symbol = chargeScreen(harness)->m_symbolRect;
    harness.tap((symbol.left + symbol.right) / 2, (symbol.top + symbol.bottom) / 2);
    const HWND prompt = GetForegroundWindow();
    ASSERT_NE(prompt, *harness.mainWindow()) << "the prompt is up";
    // The prompt bears the title too; either window found tells of the first instance.
    expectSecondStartEndsAtOnce(harness, true);
    EXPECT_EQ(GetForegroundWindow(), prompt);
    const auto dismiss = harness.device().windows().buttonCentre(L"Dismiss");
    ASSERT_TRUE(dismiss);
    harness.tap(dismiss->x, dismiss->y);
    harness.runFor(1000);
    EXPECT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_DISMISSED);
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow()));
    ResetProcessGlobals();
}

TEST(StartUp, AStartAfterTheLastInstanceEndedBeginsWithFreshState)
{
    Harness harness(utilityOptions());
    harness.power(1, 50);  // on AC the window stays up for the key
    harness.launch();
    harness.runFor(5000);
    harness.key(VK_ESCAPE);
    ASSERT_FALSE(harness.programRunning());
    EXPECT_EQ(LoadShared(&g_stopMonitor), 1) << "the first run's stop";

    harness.launch();
    harness.runFor(10);
    EXPECT_TRUE(harness.programRunning());
    EXPECT_EQ(LoadShared(&g_stopMonitor), 0);
    EXPECT_NE(g_stopEvent, nullptr);
    EXPECT_NE(g_powerQueue, nullptr) << "the new run's monitor runs";
}

}  // namespace
}  // namespace velorin::test
