// The transition sequencer on the whole utility: the charging and unplugging walk-throughs,
// requests during a run, Dismiss and Close, the reload rule, and the runs that cannot go on.
#include "app/process_globals.h"
#include "services/backlight_ramp.h"
#include "services/power_source.h"
#include "services/saved_settings.h"
#include "screen/charge_screen_messages.h"
#include "tests/support/utility_test_support.hpp"

namespace velorin::test {
namespace {

constexpr WCHAR kBacklight[] = L"ControlPanel\\BackLight";
constexpr WCHAR kRotation[] = L"System\\GDI\\Rotation";

// The steps dispatched after the first line containing `since`, as "NAME lparam".
Lines stepsSince(Harness& harness, std::string_view since)
{
    Lines steps;
    const Lines lines = traceLines(harness);
    const long from = firstLineWith(harness, since);
    for (std::size_t i = static_cast<std::size_t>(from) + 1; from >= 0 && i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.find(" dispatch ") == std::string::npos || line.find(" WM_STEP_") == std::string::npos)
            continue;
        const auto name = line.find("WM_STEP_");
        steps.push_back(line.substr(name, line.find(' ', name) - name) + " " + line.substr(line.find("lparam=") + 7));
    }
    return steps;
}

const Lines kAcSequence{"WM_STEP_RELOAD_SETTINGS 0",
                        "WM_STEP_BACKLIGHT_OFF 0",
                        "WM_STEP_SET_AC_BACKLIGHT 11",
                        "WM_STEP_WRITE_AUTOROTATE 0",
                        "WM_STEP_DISABLE_DIM 0",
                        "WM_STEP_PAUSE 0",
                        "WM_STEP_ROTATE_FOR_CHARGING 0",
                        "WM_STEP_SHOW 0",
                        "WM_STEP_FOREGROUND 0",
                        "WM_STEP_POWER_ON 0",
                        "WM_STEP_FINISH 0"};
const Lines kBatterySequence{"WM_STEP_BACKLIGHT_OFF 0", "WM_STEP_SET_BATTERY_BACKLIGHT 11", "WM_STEP_HIDE 0",
                             "WM_STEP_RESTORE_ROTATION 0", "WM_STEP_FINISH 0"};

class Sequencer : public ::testing::Test {
protected:
    Sequencer() : harness(utilityOptions()) {}

    // Started on battery: the first run only hid the window.
    void startOnBattery()
    {
        harness.launch();
        harness.runFor(100);
        ASSERT_TRUE(stepsSince(harness, "launch pid=1").empty());
        ASSERT_FALSE(harness.windowVisible(*harness.mainWindow()));
        ASSERT_EQ(chargeScreen(harness)->m_firstRun, FALSE);
        ASSERT_EQ(chargeScreen(harness)->m_pendingRuns, 0);
    }
    std::optional<DWORD> user(Root root, const WCHAR* path, const WCHAR* name)
    {
        return dword(harness, root, path, name);
    }
    // The user's settings of the default hive, all back in place.
    void expectUserSettings()
    {
        EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"BatteryBacklightLevel"), 5u);
        EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"AcBacklightLevel"), 8u);
        EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"UseDim"), 1u);
        EXPECT_EQ(user(Root::LocalMachine, kRotation, L"AutoRotate"), 0x80000001u);
        EXPECT_EQ(user(Root::LocalMachine, kRotation, L"Angle"), 0u);
        EXPECT_EQ(harness.orientationDegrees(), 0);
    }

    Harness harness;
};

TEST_F(Sequencer, ChargingRunsTheAcSequenceShowsTheScreenAndRampsTheBacklightToFull)
{
    startOnBattery();
    harness.runUntil(1000);
    harness.power(1, 40);
    EXPECT_EQ(stepsSince(harness, "power.info ac=1"), Lines(kAcSequence.begin(), kAcSequence.begin() + 6))
        << "up to the pause";
    harness.runUntil(2000);
    EXPECT_EQ(stepsSince(harness, "power.info ac=1"), kAcSequence);
    const HWND window = *harness.mainWindow();
    EXPECT_TRUE(harness.windowVisible(window));
    EXPECT_EQ(harness.orientationDegrees(), 90);
    EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"AcBacklightLevel"), 11u);
    EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"UseDim"), 0u);
    EXPECT_EQ(user(Root::LocalMachine, kRotation, L"AutoRotate"), 1u) << "bit 31 cleared";
    EXPECT_EQ(chargeScreen(harness)->m_pendingRuns, 0);
    EXPECT_EQ(linesWith(harness, " system.power on force").size(), 1u);

    harness.runUntil(5000);
    EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"AcBacklightLevel"), 10u) << "the ramp's end";
    EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"BatteryBacklightLevel"), 5u);
    EXPECT_EQ(chargeScreen(harness)->m_settingsReloadAllowed, FALSE) << "the charging values are not the user's";
}

TEST_F(Sequencer, UnpluggingRunsTheBatterySequenceAndPutsEveryUserSettingBack)
{
    startOnBattery();
    harness.power(1, 40);
    harness.runUntil(6000);
    harness.power(0, 40);
    EXPECT_EQ(stepsSince(harness, "power.info ac=0"), kBatterySequence);
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow()));
    EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"BatteryBacklightLevel"), 11u);
    // The display turns back before the rotation values are written.
    const long turned = firstLineWith(harness, "6000 display.orientation 0");
    const long written = firstLineWith(harness, "6000 reg.set HKLM\\System\\GDI\\Rotation AutoRotate");
    EXPECT_TRUE(0 < turned && turned < written) << turned << " " << written;
    harness.runUntil(9000);
    // The dim setting too: without it the charge would have turned dimming off for good.
    expectUserSettings();
}

TEST_F(Sequencer, AStartOnAcRunsTheWholeAcSequenceAndClearsTheFirstRun)
{
    harness.power(1, 70);
    harness.launch();
    harness.runFor(3000);
    EXPECT_EQ(stepsSince(harness, "launch pid=1"), kAcSequence);
    EXPECT_EQ(chargeScreen(harness)->m_firstRun, FALSE);
    EXPECT_TRUE(harness.windowVisible(*harness.mainWindow()));
}

TEST_F(Sequencer, UnpluggingDuringThePauseStartsTheBatterySequenceAtThePausesAdvance)
{
    startOnBattery();
    harness.runUntil(1000);
    harness.power(1, 40);
    harness.runUntil(1500);
    harness.power(0, 40);
    harness.runUntil(6000);
    EXPECT_EQ(stepsSince(harness, "power.info ac=1"),
              (Lines{"WM_STEP_RELOAD_SETTINGS 0", "WM_STEP_BACKLIGHT_OFF 0", "WM_STEP_SET_AC_BACKLIGHT 11",
                     "WM_STEP_WRITE_AUTOROTATE 0", "WM_STEP_DISABLE_DIM 0", "WM_STEP_PAUSE 0",
                     "WM_STEP_BACKLIGHT_OFF 0", "WM_STEP_SET_BATTERY_BACKLIGHT 11", "WM_STEP_HIDE 0",
                     "WM_STEP_RESTORE_ROTATION 0", "WM_STEP_FINISH 0"}));
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow()));
    expectUserSettings();
}

TEST_F(Sequencer, ARequestBetweenADispatchAndItsStepLeavesNoTraceAndTheRunGoesOnInTheNewTable)
{
    startOnBattery();
    harness.power(1, 40);
    harness.runUntil(6000);
    // An AC run whose advance after WM_STEP_BACKLIGHT_OFF has just posted the AC level step,
    // when the monitor, running between the two, reports the unplug: its request is handled
    // before that step.
    CChargeScreenDlg* screen = chargeScreen(harness);
    screen->m_currentStep = WM_STEP_BACKLIGHT_OFF;
    screen->m_pendingRuns = 1;
    harness.power(0, 40);
    EXPECT_EQ(screen->m_currentStep, SEQ_START_BATTERY);
    EXPECT_EQ(screen->m_pendingRuns, 1) << "the request only replaced the marker";
    EXPECT_TRUE(stepsSince(harness, "power.info ac=0").empty());
    PostMessageW(*harness.mainWindow(), WM_STEP_SET_AC_BACKLIGHT, 0, 11);
    harness.settle();
    EXPECT_EQ(stepsSince(harness, "power.info ac=0"),
              (Lines{"WM_STEP_SET_AC_BACKLIGHT 11", "WM_STEP_HIDE 0", "WM_STEP_RESTORE_ROTATION 0", "WM_STEP_FINISH 0"}));
    EXPECT_EQ(screen->m_pendingRuns, 0);
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow()));
    harness.runUntil(9000);
    expectUserSettings();
}

TEST_F(Sequencer, APlugAbsorbedByTheLastStepOfABatteryRunStillStartsTheChargingSequence)
{
    startOnBattery();
    harness.power(1, 40);
    harness.runUntil(6000);
    harness.power(0, 40);
    harness.runUntil(10000);
    // A battery run whose advance after WM_STEP_RESTORE_ROTATION has just posted its last step,
    // when the monitor, running between the two, reports the plug.
    CChargeScreenDlg* screen = chargeScreen(harness);
    screen->m_currentStep = WM_STEP_RESTORE_ROTATION;
    screen->m_pendingRuns = 1;
    harness.power(1, 40);
    EXPECT_EQ(screen->m_currentStep, SEQ_START_AC) << "the request only replaced the marker";
    PostMessageW(*harness.mainWindow(), WM_STEP_FINISH, 0, 0);
    harness.runUntil(12000);
    const Lines steps = stepsSince(harness, "power.info ac=0");
    ASSERT_GE(steps.size(), 12u);
    EXPECT_EQ(Lines(steps.end() - 12, steps.end()),
              (Lines{"WM_STEP_FINISH 0", "WM_STEP_RELOAD_SETTINGS 0", "WM_STEP_BACKLIGHT_OFF 0",
                     "WM_STEP_SET_AC_BACKLIGHT 11", "WM_STEP_WRITE_AUTOROTATE 0", "WM_STEP_DISABLE_DIM 0",
                     "WM_STEP_PAUSE 0", "WM_STEP_ROTATE_FOR_CHARGING 0", "WM_STEP_SHOW 0", "WM_STEP_FOREGROUND 0",
                     "WM_STEP_POWER_ON 0", "WM_STEP_FINISH 0"}));
    EXPECT_TRUE(harness.windowVisible(*harness.mainWindow())) << "the charge is seen";
}

TEST_F(Sequencer, ADismissPutsTheScreenAwayWithTheAcLevelAndHoldsUntilTheNextCharge)
{
    startOnBattery();
    harness.power(1, 40);
    harness.runUntil(6000);
    g_powerSource = POWER_SOURCE_DISMISSED;  // as the tap's Dismiss does
    PostMessageW(*harness.mainWindow(), WM_SEQ_ADVANCE, 0, 1);
    harness.settle();
    EXPECT_EQ(stepsSince(harness, "6000 dispatch hwnd=0x10000 WM_SEQ_ADVANCE wparam=0 lparam=1"),
              (Lines{"WM_STEP_BACKLIGHT_OFF 0", "WM_STEP_SET_AC_BACKLIGHT 11", "WM_STEP_HIDE 0",
                     "WM_STEP_RESTORE_ROTATION 0", "WM_STEP_FINISH 0"}));
    harness.runUntil(9000);
    EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"AcBacklightLevel"), 8u) << "ramped up to the user's AC level";
    harness.power(1, 41);
    EXPECT_FALSE(harness.windowVisible(*harness.mainWindow())) << "still dismissed for this charge";
    harness.power(0, 41);
    harness.power(1, 41);
    harness.runUntil(12000);
    EXPECT_TRUE(harness.windowVisible(*harness.mainWindow())) << "the next charge shows it again";
}

// The orientation that the rotate step of a charge asks for, with the platform identity `id`
// (none: the value is missing).
std::string chargingTurn(const std::optional<registry::Value>& id)
{
    Harness harness(utilityOptions());
    harness.deleteRegistryValue(Root::LocalMachine, L"Ident", L"PlatformID");
    if (id)
        harness.setRegistryValue(Root::LocalMachine, L"Ident", *id);
    harness.launch();
    harness.runFor(100);
    harness.power(1, 40);
    harness.runFor(3000);
    const Lines asked = linesWith(harness, " display.orientation ");
    ResetProcessGlobals();
    return asked.empty() ? "none" : asked.back().substr(asked.back().find(' ') + 1) + " at " +
                                        std::to_string(harness.orientationDegrees());
}

TEST(SequencerRotation, OnlyPlatform511ChargesAt270DegreesAndEveryOtherIdentityAt90)
{
    const auto text = [](std::wstring_view id) { return registry::stringValue(L"PlatformID", id); };
    const std::string at270 = "display.orientation 4 result=0 at 270";
    const std::string at90 = "display.orientation 1 result=0 at 90";
    EXPECT_EQ(chargingTurn(text(L"511")), at270);
    EXPECT_EQ(chargingTurn(registry::Value{L"PlatformID", REG_SZ, registry::wideBytes(L"511")}), at270)
        << "stored without its NUL";
    EXPECT_EQ(chargingTurn(text(L"522")), at90);
    EXPECT_EQ(chargingTurn(text(L"533")), at90);
    EXPECT_EQ(chargingTurn(text(L"5110")), at90);
    EXPECT_EQ(chargingTurn(text(L"")), at90);
    EXPECT_EQ(chargingTurn(std::nullopt), at90);
}

TEST_F(Sequencer, CloseRestoresEverythingBeforeTheRequestAndEndsTheUtility)
{
    startOnBattery();
    harness.power(1, 40);
    harness.runUntil(6000);
    g_closeRequested = 1;  // as the tap's Close does
    PostMessageW(*harness.mainWindow(), WM_SEQ_ADVANCE, 0, 1);
    harness.settle();
    EXPECT_FALSE(harness.programRunning());
    expectUserSettings();
    // The orientation, then the rotation values, then the backlight values, then the end.
    const long restored = firstLineWith(harness, "6000 display.orientation 0");
    const long rotation = firstLineWith(harness, "6000 reg.set HKLM\\System\\GDI\\Rotation AutoRotate");
    const long backlight = firstLineWith(harness, "6000 reg.set HKCU\\ControlPanel\\BackLight BatteryBacklightLevel");
    const long saved = firstLineWith(harness, "6000 reg.set HKCU\\ControlPanel\\BackLight UseDim dword:1");
    const long exited = firstLineWith(harness, "exit pid=1");
    EXPECT_TRUE(0 < restored && restored < rotation && rotation < backlight && backlight < saved && saved < exited)
        << restored << " " << rotation << " " << backlight << " " << saved << " " << exited;
    EXPECT_TRUE(stepsSince(harness, "6000 dispatch hwnd=0x10000 WM_SEQ_ADVANCE wparam=0 lparam=1").empty())
        << "no step runs after";
    ResetProcessGlobals();
}

TEST_F(Sequencer, AReloadDuringTheLastRampKeepsTheSettingsCapturedBefore)
{
    startOnBattery();
    harness.power(1, 40);
    harness.runUntil(2500);  // the AC run's ramp runs until 4500
    harness.power(0, 40);
    setDword(harness, Root::CurrentUser, kBacklight, L"BatteryBacklightLevel", 2);
    harness.power(1, 40);
    harness.runUntil(4000);
    EXPECT_EQ(g_savedBatteryBacklightLevel, 5) << "not reloaded while a ramp ran";
}

TEST_F(Sequencer, AChargeWhileTheBatteryRunsRampStillMovesCapturesNothing)
{
    startOnBattery();
    harness.power(1, 40);
    harness.runUntil(6000);
    harness.power(0, 40);
    harness.runUntil(7500);  // the battery run's ramp, from 7100 to 8100, is half way
    ASSERT_NE(dword(harness, Root::CurrentUser, kBacklight, L"BatteryBacklightLevel"), 5u);
    harness.power(1, 40);
    harness.runFor(1000);
    EXPECT_EQ(g_savedBatteryBacklightLevel, 5);
    EXPECT_EQ(g_savedAcBacklightLevel, 8);
}

TEST_F(Sequencer, AnAcRunAfterACompletedChargeKeepsTheSettingsCapturedAtItsStart)
{
    startOnBattery();
    harness.power(1, 40);
    harness.runUntil(6000);
    // An unplug and a plug read before the window's thread ran: both requests see AC, and the
    // registry holds the charging values (AC level 10, dimming off, turned for charging).
    const HWND window = *harness.mainWindow();
    PostMessageW(window, WM_SEQ_ADVANCE, 0, 1);
    PostMessageW(window, WM_SEQ_ADVANCE, 0, 1);
    harness.runUntil(12000);
    EXPECT_EQ(g_savedAcBacklightLevel, 8) << "captured before the first charge, not the ramp's 10";
    harness.power(0, 40);
    harness.runUntil(16000);
    expectUserSettings();
}

TEST_F(Sequencer, ABatteryRunWhoseChargeWasNeverSeenKeepsWhatTheUserChangedSince)
{
    startOnBattery();
    harness.power(1, 40);
    harness.runUntil(6000);
    harness.power(0, 40);
    harness.runUntil(10000);
    // On battery with everything put back, the user changes settings; then a plug and an
    // unplug come so close that the window's thread sees only the battery.
    setDword(harness, Root::LocalMachine, kRotation, L"AutoRotate", 0);
    setDword(harness, Root::CurrentUser, kBacklight, L"UseDim", 0);
    setDword(harness, Root::CurrentUser, kBacklight, L"BatteryBacklightLevel", 3);
    PostMessageW(*harness.mainWindow(), WM_SEQ_ADVANCE, 0, 1);
    harness.runUntil(14000);
    Lines twice = kBatterySequence;
    twice.insert(twice.end(), kBatterySequence.begin(), kBatterySequence.end());
    EXPECT_EQ(stepsSince(harness, "power.info ac=0"), twice) << "the unplug's run, then this one";
    EXPECT_EQ(user(Root::LocalMachine, kRotation, L"AutoRotate"), 0u);
    EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"UseDim"), 0u);
    EXPECT_EQ(user(Root::CurrentUser, kBacklight, L"BatteryBacklightLevel"), 3u);
}

TEST_F(Sequencer, AStepWithoutARowStartsTheCurrentSourcesSequenceAndAnUnknownSourceEndsTheRun)
{
    startOnBattery();
    CChargeScreenDlg* screen = chargeScreen(harness);
    const HWND window = *harness.mainWindow();

    // An AC step read on battery: the battery sequence from its start.
    screen->m_currentStep = WM_STEP_DISABLE_DIM;
    screen->m_pendingRuns = 1;
    harness.runUntil(1000);
    PostMessageW(window, WM_SEQ_ADVANCE, 0, 0);
    harness.runUntil(2000);
    EXPECT_EQ(stepsSince(harness, "1000 dispatch hwnd=0x10000 WM_SEQ_ADVANCE"), kBatterySequence);
    EXPECT_EQ(screen->m_pendingRuns, 0);

    // A source that is none of the three: the run ends, and the next request starts afresh.
    g_powerSource = POWER_SOURCE_UNKNOWN;
    screen->m_currentStep = WM_STEP_HIDE;
    screen->m_pendingRuns = 1;
    PostMessageW(window, WM_SEQ_ADVANCE, 0, 0);
    harness.settle();
    EXPECT_EQ(screen->m_pendingRuns, 0);
    harness.power(1, 40);
    harness.runUntil(4000);
    EXPECT_EQ(stepsSince(harness, "power.info ac=1"), kAcSequence);

    // An advance with no run under way changes nothing.
    PostMessageW(window, WM_SEQ_ADVANCE, 0, 0);
    harness.settle();
    EXPECT_EQ(screen->m_pendingRuns, 0);
    EXPECT_TRUE(stepsSince(harness, "4000 dispatch hwnd=0x10000 WM_SEQ_ADVANCE").empty());
}

}  // namespace
}  // namespace velorin::test
