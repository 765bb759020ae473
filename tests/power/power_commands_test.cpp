// The scenario's power, plug, unplug, percent and expect backlight lines, played on a harness.
#include "power_test_support.hpp"

#include "sim/harness/harness.hpp"
#include "sim/player/commands.hpp"
#include "sim/player/scenario_player.hpp"

namespace velorin::sim {
namespace {

using test::Lines;

HarnessOptions listenerProgram()
{
    HarnessOptions options;
    options.program = Program{"listener", [] {
                                  test::listen("heard");
                                  return 0;
                              }};
    return options;
}

TEST(PowerCommands, SetUpAtZeroReachesTheProgramAtItsStartAndEachLineIsOneReport)
{
    test::takeHeard();
    Harness harness(listenerProgram());
    const PlayResult result = ScenarioPlayer(harness).play(parseScenario("0 power ac=1 percent=40\n"
                                                                         "1s unplug\n"
                                                                         "2s percent 35\n"
                                                                         "3s power percent=30 ac=2\n"
                                                                         "4s plug\n"
                                                                         "4s plug\n"
                                                                         "5s power ac=255\n",
                                                                         "power.scn"));
    EXPECT_EQ(result.failures, Lines{});
    EXPECT_EQ(test::takeHeard(),
              (Lines{"heard ac=1 percent=40", "heard ac=0 percent=40", "heard ac=0 percent=35", "heard ac=2 percent=30",
                     "heard ac=1 percent=30", "heard ac=1 percent=30", "heard ac=255 percent=30"}));
    EXPECT_EQ(
        harness.trace().linesOf("power.info"),
        (Lines{"0 power.info ac=1 percent=40", "1000 power.info ac=0 percent=40", "2000 power.info ac=0 percent=35",
               "3000 power.info ac=2 percent=30", "4000 power.info ac=1 percent=30", "4000 power.info ac=1 percent=30",
               "5000 power.info ac=255 percent=30"}));
}

TEST(PowerCommands, ExpectBacklightSaysWhatItFound)
{
    Harness harness(listenerProgram());
    const PlayResult result = ScenarioPlayer(harness).play(parseScenario("0 expect backlight on\n"
                                                                         "0 expect backlight on level=10\n"
                                                                         "0 expect backlight off\n"
                                                                         "0 expect backlight on level=3\n",
                                                                         "backlight.scn"));
    EXPECT_EQ(result.expectsChecked, 4);
    EXPECT_EQ(result.failures, (Lines{"backlight.scn:3: expect backlight off failed: the backlight is on at level 10",
                                      "backlight.scn:4: expect backlight on level=3 failed: the backlight is on at "
                                      "level 10"}));
    {
        std::lock_guard lock(harness.device().kernel().mutex());
        harness.device().backlight().setPowerStateLocked(D4);
    }
    const ScenarioLine line = parseScenario("9s expect backlight on level=10\n", "off.scn").lines.at(0);
    EXPECT_EQ(runCommand(harness, line, std::get<ExpectBacklightCommand>(line.command)),
              "off.scn:1: expect backlight on level=10 failed: the backlight is off");
}

TEST(PowerCommands, TheHarnessRefusesValuesNoBatteryReports)
{
    Harness harness(listenerProgram());
    EXPECT_THROW(harness.power(3, std::nullopt), std::invalid_argument);
    EXPECT_THROW(harness.power(std::nullopt, 256), std::invalid_argument);
    EXPECT_THROW(harness.power(std::nullopt, -1), std::invalid_argument);
    EXPECT_EQ(harness.trace().linesOf("power.info"), Lines{});
}

}  // namespace
}  // namespace velorin::sim
