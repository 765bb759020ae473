// The display from outside the programs: the scenario's rotate and expect orientation lines,
// the harness that turns it, and the panel size of the command line.
#include "display_test_support.hpp"

#include "sim/cli/options.hpp"
#include "sim/harness/harness.hpp"
#include "sim/player/scenario_player.hpp"

namespace velorin::sim {
namespace {

using test::Lines;

// A program with one recording window "W" that handles its messages from `listenAt` ms on.
HarnessOptions windowProgram(DWORD listenAt)
{
    static DWORD s_listenAt;
    s_listenAt = listenAt;
    HarnessOptions options;
    options.program = Program{"shower",
                              [] {
                                  test::createRecorder(L"W", true);
                                  Sleep(s_listenAt);
                                  test::hear("listening at " + std::to_string(GetTickCount()));
                                  test::pumpForever();
                                  return 0;
                              },
                              {},
                              L"W"};
    return options;
}

TEST(RotateCommand, TurnsTheDisplayAndExpectOrientationSaysWhatItFound)
{
    test::takeHeard();
    Harness harness(windowProgram(0));
    const PlayResult result = ScenarioPlayer(harness).play(parseScenario("1s expect orientation 0\n"
                                                                         "1s rotate 90\n"
                                                                         "1s expect orientation 90\n"
                                                                         "2s rotate 180\n"
                                                                         "2s expect orientation 270\n",
                                                                         "turn.scn"));
    EXPECT_EQ(result.failures, Lines{"turn.scn:5: expect orientation 270 failed: the orientation is 180"});
    EXPECT_EQ(result.expectsChecked, 3);
    EXPECT_EQ(harness.trace().linesOf("display.orientation"),
              (Lines{"1000 display.orientation 1 result=0", "2000 display.orientation 2 result=0"}));
    // The default hive has the key, so only the value changes.
    EXPECT_EQ(harness.trace().linesOf("reg.set").back(), "2000 reg.set HKLM\\System\\GDI\\Rotation Angle dword:180");
    EXPECT_EQ(harness.trace().linesOf("reg.create"), Lines{});
    EXPECT_EQ(test::takeHeard(),
              (Lines{"listening at 0", "W WM_SETTINGCHANGE 0x3002 0 320x240", "W WM_ERASEBKGND", "W WM_PAINT",
                     "W WM_SETTINGCHANGE 0x3002 0 240x320", "W WM_ERASEBKGND", "W WM_PAINT"}));
    EXPECT_THROW(harness.rotate(45), std::invalid_argument);
}

TEST(RotateCommand, AProgramThatIsNotListeningHearsOfItLaterAndDoesNotHoldUpTheRun)
{
    test::takeHeard();
    Harness harness(windowProgram(5000));
    harness.launch();
    harness.runUntil(1000);
    harness.rotate(90);
    EXPECT_EQ(harness.now(), 1000);
    EXPECT_EQ(harness.orientationDegrees(), 90);
    EXPECT_EQ(test::takeHeard(), Lines{});
    harness.runUntil(6000);
    EXPECT_EQ(test::takeHeard(),
              (Lines{"listening at 5000", "W WM_SETTINGCHANGE 0x3002 0 320x240", "W WM_ERASEBKGND", "W WM_PAINT"}));
}

TEST(ScreenOption, SetsThePhysicalPanelAndRefusesWhatIsNotOne)
{
    const auto defaults = parseCommandLine({});
    EXPECT_EQ(std::pair(defaults.options->screenWidth, defaults.options->screenHeight), std::pair(240, 320));
    const auto parsed = parseCommandLine({"--screen", "16x4096"});
    ASSERT_TRUE(parsed.options) << parsed.message;
    EXPECT_EQ(std::pair(parsed.options->screenWidth, parsed.options->screenHeight), std::pair(16, 4096));
    for (const std::string bad : {"240", "", "x320", "240x", "240x320x1", "240X320", "+240x320", "abcxdef", "15x320",
                                  "240x4097", "240x-1", "99999999999x320"}) {
        const auto refused = parseCommandLine({"--screen", bad});
        EXPECT_EQ(refused.exitStatus, 2) << bad;
        EXPECT_NE(refused.message.find("--screen: '" + bad + "'"), std::string::npos) << refused.message;
    }
}

}  // namespace
}  // namespace velorin::sim
