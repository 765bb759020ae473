// Scenario commands of the display: rotate and expect orientation.
#include "sim/player/commands.hpp"

#include <string>

namespace velorin::sim {

CommandOutcome runCommand(Harness& harness, const ScenarioLine&, const RotateCommand& command)
{
    harness.rotate(command.degrees);
    return std::nullopt;
}

CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectOrientationCommand& command)
{
    const int actual = harness.orientationDegrees();
    if (actual == command.degrees)
        return std::nullopt;
    return locationOf(line) + "expect orientation " + std::to_string(command.degrees) + " failed: the orientation is " +
           std::to_string(actual);
}

}  // namespace velorin::sim
