// The tap on the charge symbol and the close confirmation: every way the prompt ends, its
// centring, what goes on while it is up, and the taps that open nothing.
#include "app/process_globals.h"
#include "services/power_source.h"
#include "gdi/png_file.hpp"
#include "screen/charge_screen_messages.h"
#include "tests/screen/screen_pixels.hpp"
#include "sim/player/scenario_player.hpp"
#include "window/window_text.hpp"
#include "tests/support/utility_test_support.hpp"

#include <cstdlib>
#include <filesystem>

namespace velorin::test {
namespace {

class ClosePrompt : public ::testing::Test {
protected:
    explicit ClosePrompt(HarnessOptions options = utilityOptions()) : harness(std::move(options))
    {
        harness.power(1, 60);
        harness.launch();
        harness.runUntil(3000);  // charging, the screen drawn turned to landscape
    }
    ~ClosePrompt() override { ResetProcessGlobals(); }

    POINT symbolCentre()
    {
        const RECT r = chargeScreen(harness)->m_symbolRect;
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // Taps the charge symbol; the prompt is then up.
    HWND openPrompt()
    {
        const POINT at = symbolCentre();
        harness.tap(at.x, at.y);
        const HWND prompt = GetForegroundWindow();
        EXPECT_NE(prompt, *harness.mainWindow()) << "the prompt is up";
        return prompt;
    }
    RECT rectOf(HWND hwnd)
    {
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        return rect;
    }
    std::string promptEnd()
    {
        return linesWith(harness, ", #135, ").back().substr(linesWith(harness, ", #135, ").back().rfind('='));
    }

    Harness harness;
};

TEST_F(ClosePrompt, DismissPutsTheScreenAwayForThisCharge)
{
    openPrompt();
    EXPECT_FALSE(chargeScreen(harness)->m_drawingEnabled) << "drawing is off while the prompt is up";
    const auto button = harness.device().windows().buttonCentre(L"Dismiss");
    ASSERT_TRUE(button);
    harness.tap(button->x, button->y);
    EXPECT_EQ(promptEnd(), "= 2");
    // The screen's timers were handled while the prompt was up; the tap's own default handling
    // still gets the tap.
    EXPECT_EQ(linesWithSince(harness, "call DefWindowProcW(" + window::hex(*harness.mainWindow()) + ", 513,", ", #135, ")
                  .size(),
              1u);
    EXPECT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_DISMISSED);
    EXPECT_TRUE(chargeScreen(harness)->m_drawingEnabled);
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow()));
    harness.power(1, 61);
    harness.runFor(3000);
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow())) << "no screen on further AC news";
    harness.power(0, 61);
    harness.power(1, 61);
    harness.runFor(3000);
    EXPECT_TRUE(harness.windowVisible(*harness.mainWindow())) << "back on the next plug";
}

TEST_F(ClosePrompt, ADismissAfterTheChargerHasGoneOnlyAsksForTheBatteryRun)
{
    openPrompt();
    harness.power(0, 61);
    const auto button = harness.device().windows().buttonCentre(L"Dismiss");
    ASSERT_TRUE(button);
    harness.tap(button->x, button->y);
    const std::string request = "call PostMessageW(" + window::hex(*harness.mainWindow()) + ", 33768, 0, 1)";
    EXPECT_EQ(linesWithSince(harness, request, ", #135, ").size(), 1u) << "the Dismiss asks for a run all the same";
    harness.runFor(1000);
    EXPECT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_BATTERY) << "nothing left to dismiss";
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow()));
    harness.power(1, 61);
    harness.runFor(3000);
    EXPECT_TRUE(harness.windowVisible(*harness.mainWindow())) << "the next plug is a change";
}

TEST_F(ClosePrompt, ClosePutsEverySettingBackAndEndsTheUtility)
{
    openPrompt();
    const auto button = harness.device().windows().buttonCentre(L"Close");
    ASSERT_TRUE(button);
    harness.tap(button->x, button->y);
    EXPECT_EQ(promptEnd(), "= 2");
    EXPECT_FALSE(harness.programRunning());
    EXPECT_EQ(dword(harness, Root::CurrentUser, L"ControlPanel\\BackLight", L"UseDim"), 1u);
    EXPECT_EQ(dword(harness, Root::CurrentUser, L"ControlPanel\\BackLight", L"AcBacklightLevel"), 8u);
    EXPECT_EQ(dword(harness, Root::LocalMachine, L"System\\GDI\\Rotation", L"AutoRotate"), 0x80000001u);
    EXPECT_EQ(harness.orientationDegrees(), 0);
    const auto lines = traceLines(harness).size();
    harness.power(0, 61);
    harness.tap(120, 160);
    EXPECT_EQ(linesWith(harness, " window.").size(), linesWith(harness, " window.").size());
    EXPECT_EQ(traceLines(harness).size(), lines + 1) << "only the battery's report: nobody listens";
}

TEST_F(ClosePrompt, EscTheCaptionsCloseBoxAndAnOkCommandEndItWithoutAChoice)
{
    const auto expectNothingChosen = [&](const char* how) {
        EXPECT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_AC) << how;
        EXPECT_EQ(g_closeRequested, 0) << how;
        EXPECT_TRUE(harness.windowVisible(*harness.mainWindow())) << how;
        EXPECT_TRUE(chargeScreen(harness)->m_drawingEnabled) << how;
        EXPECT_EQ(chargeScreen(harness)->m_lastPercentDrawn, 60) << how << ": the next frame redrew the digits";
    };
    openPrompt();
    harness.key(VK_ESCAPE);
    EXPECT_EQ(promptEnd(), "= 2");
    harness.runFor(1000);
    expectNothingChosen("Esc");

    const RECT rect = rectOf(openPrompt());
    harness.tap(rect.right - 12, rect.top + 11);  // the caption's close box
    EXPECT_EQ(linesWith(harness, ", #135, ").size(), 2u);
    EXPECT_EQ(promptEnd(), "= 2");
    harness.runFor(1000);
    expectNothingChosen("close box");

    const HWND prompt = openPrompt();
    PostMessageW(prompt, WM_COMMAND, IDOK, 0);
    harness.settle();
    EXPECT_EQ(promptEnd(), "= 1");
    harness.runFor(1000);
    expectNothingChosen("IDOK");

    // A replug's run shows the screen again and brings it to the front under the prompt: the
    // screen, disabled, cannot take the activation, so the prompt keeps the keys.
    openPrompt();
    harness.power(0, 60);
    harness.runFor(1000);
    harness.power(1, 60);
    harness.runFor(3000);
    harness.key(VK_ESCAPE);
    EXPECT_EQ(linesWith(harness, ", #135, ").size(), 4u);
    EXPECT_EQ(promptEnd(), "= 2");
    harness.runFor(1000);
    EXPECT_EQ(GetForegroundWindow(), *harness.mainWindow());
    expectNothingChosen("Esc after a replug");
}

TEST_F(ClosePrompt, AfterThePromptTheScreenIsBlackAgainAndTheNextFrameDrawsItWhole)
{
    // Points of the landscape screen that no picture of a frame covers.
    const POINT background[] = {{2, 2}, {300, 5}, {310, 230}, {50, 200}, {250, 120}};
    const gdi::Surface digits = bitmapPixels(harness, chargeScreen(harness)->m_bmpDigits);
    const gdi::Surface full = bitmapPixels(harness, chargeScreen(harness)->m_bmpBatteryFull);
    openPrompt();
    harness.runFor(1000);
    EXPECT_NE(harness.screen().pixel(2, 2), 0u) << "the prompt's background around it";
    harness.key(VK_ESCAPE);
    harness.runFor(1000);
    gdi::Surface screen = harness.screen();
    for (const POINT p : background)
        EXPECT_EQ(screen.pixel(p.x, p.y), 0u) << p.x << "," << p.y;
    EXPECT_EQ(difference(screen, POINT{4, 42}, percentArea(digits, 37 - 4, {6, 0, -1})), "") << "60%";

    // A full battery, whose frames had stopped, is drawn again as well.
    harness.power(std::nullopt, 100);
    harness.runFor(1000);
    ASSERT_TRUE(chargeScreen(harness)->m_fullDrawn);
    openPrompt();
    harness.key(VK_ESCAPE);
    harness.runFor(1000);
    screen = harness.screen();
    gdi::Surface battery(104, 216);
    lay(battery, POINT{0, 0}, full, RECT{0, 0, 104, 216}, false);
    EXPECT_EQ(difference(screen, POINT{108, 12}, battery), "");
    EXPECT_EQ(difference(screen, POINT{4, 42}, percentArea(digits, 27 - 4, {1, 0, 0, -1})), "") << "100%";
}

TEST_F(ClosePrompt, WhileThePromptIsUpTimersAndNotificationsGoOn)
{
    const HWND prompt = openPrompt();
    const auto ticksBefore = linesWith(harness, "WM_TIMER wparam=1 ").size();
    harness.power(1, 64);
    harness.runFor(2000);
    EXPECT_EQ(GetWindowLongW(*harness.mainWindow(), GWL_USERDATA), 64);
    EXPECT_GE(linesWith(harness, "WM_TIMER wparam=1 ").size(), ticksBefore + 2);
    EXPECT_EQ(GetForegroundWindow(), prompt) << "the animation brings nothing forward while drawing is off";
    EXPECT_FALSE(IsWindowEnabled(*harness.mainWindow())) << "the screen takes no input meanwhile";
    harness.key(VK_ESCAPE);
    EXPECT_TRUE(IsWindowEnabled(*harness.mainWindow()));
}

TEST_F(ClosePrompt, StaysCentredWhenTheScreenTurns)
{
    const HWND prompt = openPrompt();
    RECT rect = rectOf(prompt);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    EXPECT_EQ(rect.left, (320 - width) / 2);
    EXPECT_EQ(rect.top, (240 - height) / 2);
    harness.rotate(0);
    rect = rectOf(prompt);
    EXPECT_EQ(rect.left, (240 - width) / 2);
    EXPECT_EQ(rect.top, (320 - height) / 2);
    EXPECT_EQ(rect.right - rect.left, width);
}

TEST_F(ClosePrompt, TapsOutsideTheSymbolOrAfterCloseOpenNothing)
{
    const RECT symbol = chargeScreen(harness)->m_symbolRect;
    harness.tap(symbol.right, symbol.bottom);  // right and bottom lie outside
    harness.tap(5, 5);
    EXPECT_TRUE(linesWith(harness, ", #135, ").empty());
    EXPECT_EQ(GetForegroundWindow(), *harness.mainWindow());

    g_closeRequested = 1;
    const POINT at = symbolCentre();
    harness.tap(at.x, at.y);
    // The prompt's line is written when it ends; one still up is in front.
    EXPECT_TRUE(linesWith(harness, ", #135, ").empty());
    EXPECT_EQ(GetForegroundWindow(), *harness.mainWindow());
}

TEST_F(ClosePrompt, ATapQueuedAheadOfTheClosesRequestOpensNothingAndTheUtilityStillEnds)
{
    // Close chosen, and a tap on the symbol that reached the queue before the Close's request
    // (the input thread ran between the prompt's end and the post).
    const POINT at = symbolCentre();
    const HWND window = *harness.mainWindow();
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    g_closeRequested = 1;
    PostMessageW(window, WM_SEQ_ADVANCE, 0, 1);
    harness.settle();
    EXPECT_TRUE(linesWith(harness, ", #135, ").empty()) << "no prompt";
    EXPECT_FALSE(harness.programRunning());
    EXPECT_EQ(dword(harness, Root::CurrentUser, L"ControlPanel\\BackLight", L"AcBacklightLevel"), 8u);
    EXPECT_EQ(harness.orientationDegrees(), 0);
}

TEST_F(ClosePrompt, ATapQueuedBeforeARunHidTheScreenOpensNothing)
{
    // The tap reached the queue while the screen showed; the unplug's run, posted, goes first
    // and hides the screen before the tap is handled.
    const POINT at = symbolCentre();
    harness.power(0, 60);
    PostMessageW(*harness.mainWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    harness.runFor(100);
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow()));
    // A prompt would stop the drawing until it ends, and stand behind the next charge's screen.
    EXPECT_TRUE(chargeScreen(harness)->m_drawingEnabled) << "a prompt is up";
    EXPECT_TRUE(linesWith(harness, ", #135, ").empty());
}

// Two taps while a replug's run keeps the window busy: the second reaches the queue before the
// first opens the prompt, and the prompt's modal loop hands it to the screen.
TEST(ClosePromptRaces, TwoTapsDuringARunOpenOnePromptWhateverTheSeed)
{
    constexpr std::string_view kTwoTaps =
        "0 unplug\n1s plug\n6s unplug\n+0ms plug\n6500ms tap 160 120\n6600ms tap 160 120\n9s end\n";
    int opened = 0;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        HarnessOptions options = utilityOptions();
        options.device.run = kernel::RunMode::Preemptive;
        options.device.seed = seed;
        Harness harness(options);
        sim::ScenarioPlayer(harness).play(sim::parseScenario(kTwoTaps, "two_taps.scn"));
        const std::string screen = "hwnd=" + window::hex(*harness.mainWindow());
        const auto shown = linesWith(harness, "window.show");
        const auto prompts = std::count_if(shown.begin(), shown.end(),
                                           [&](const std::string& l) { return !l.ends_with(screen); });
        EXPECT_LE(prompts, 1) << "seed " << seed;
        opened += prompts > 0 ? 1 : 0;
        ResetProcessGlobals();
    }
    EXPECT_GT(opened, 20) << "too few seeds had the taps reach the charge symbol";
}

TEST(ClosePromptStart, ATapBeforeTheFirstFrameOpensNothing)
{
    Harness harness(utilityOptions());
    refusePowerNews(harness);
    harness.launch();
    harness.runFor(10);
    ASSERT_TRUE(IsRectEmpty(&chargeScreen(harness)->m_symbolRect));
    harness.tap(0, 0);
    harness.tap(160, 120);
    EXPECT_TRUE(linesWith(harness, ", #135, ").empty());
}

TEST(ClosePromptWide, ADialogWiderThanTheScreenIsCentredTowardZero)
{
    HarnessOptions options = utilityOptions();
    options.device.screenWidth = 187;  // 3 pixels narrower than the prompt
    options.device.screenHeight = 320;
    Harness harness(options);
    refusePowerNews(harness);
    harness.launch();
    harness.runFor(10);
    chargeScreen(harness)->m_symbolRect = RECT{0, 0, 50, 50};
    harness.tap(10, 10);
    RECT rect{};
    GetWindowRect(GetForegroundWindow(), &rect);
    EXPECT_EQ(rect.right - rect.left, 190);
    EXPECT_EQ(rect.left, -1);
    harness.key(VK_ESCAPE);
}

TEST_F(ClosePrompt, LooksAsAPersonHasSeenIt)
{
    const std::filesystem::path golden = std::filesystem::path(VELORIN_TEST_SOURCE_DIR) / "golden" / "close_prompt.png";
    openPrompt();
    const gdi::Surface screen = harness.screen();
    if (std::getenv("VELORIN_UPDATE_GOLDEN")) {
        gdi::writePng(golden, screen);
        GTEST_SKIP() << "wrote " << golden;
    }
    const gdi::Surface expected = gdi::readPng(golden);
    ASSERT_EQ(screen.width(), expected.width());
    ASSERT_EQ(screen.height(), expected.height());
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            differing += screen.pixel(x, y) != expected.pixel(x, y);
    if (differing != 0) {
        const auto actual = std::filesystem::temp_directory_path() / "close_prompt.actual.png";
        gdi::writePng(actual, screen);
        ADD_FAILURE() << differing << " pixels differ from " << golden << "; the screen is in " << actual;
    }
    harness.key(VK_ESCAPE);
}

}  // namespace
}  // namespace velorin::test
