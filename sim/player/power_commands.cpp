// Scenario commands of the battery and the backlight: power, plug, unplug, percent and expect
// backlight.
#include "sim/player/commands.hpp"

#include <string>

namespace velorin::sim {

CommandOutcome runCommand(Harness& harness, const ScenarioLine&, const PowerCommand& command)
{
    // The parser has checked the values.
    harness.power(command.ac, command.percent);
    return std::nullopt;
}

CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectBacklightCommand& command)
{
    const power::Backlight seen = harness.backlight();
    if (seen.on == command.on && (!command.level || seen.level == *command.level))
        return std::nullopt;
    std::string expectation = std::string("expect backlight ") + (command.on ? "on" : "off");
    if (command.level)
        expectation += " level=" + std::to_string(*command.level);
    const std::string actual = seen.on ? "on at level " + std::to_string(seen.level) : "off";
    return locationOf(line) + expectation + " failed: the backlight is " + actual;
}

}  // namespace velorin::sim
