// Scenario commands about the program's processes.
#include "sim/player/commands.hpp"

namespace velorin::sim {

CommandOutcome runCommand(Harness& harness, const ScenarioLine&, const LaunchCommand&)
{
    harness.launch();
    harness.settle();
    return std::nullopt;
}

CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectProcessCommand& command)
{
    const bool running = harness.programRunning();
    if (running == command.running)
        return std::nullopt;
    const std::string& name = harness.program().name;
    std::string why;
    if (running) {
        why = name + " is still running";
    } else if (const auto ended = harness.lastEnded()) {
        why = name + " has exited (pid " + std::to_string(ended->pid) + ", code " + std::to_string(ended->exitCode) +
              ")";
    } else {
        why = name + " was never started";
    }
    return locationOf(line) + std::string(commandName(line.command)) + " failed: " + why;
}

}  // namespace velorin::sim
