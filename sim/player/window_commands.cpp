// Scenario commands of input and windows.
#include "sim/player/commands.hpp"

#include "trace/trace_recorder.hpp"

namespace velorin::sim {

CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const TapCommand& command)
{
    // The stylus cannot touch outside the panel; the logical size follows the rotation.
    const auto [width, height] = harness.logicalScreenSize();
    if (command.x < 0 || command.y < 0 || command.x >= width || command.y >= height)
        return locationOf(line) + "tap " + std::to_string(command.x) + " " + std::to_string(command.y) +
               " failed: the point is outside the " + std::to_string(width) + "x" + std::to_string(height) +
               " screen";
    harness.tap(command.x, command.y);
    return std::nullopt;
}

CommandOutcome runCommand(Harness& harness, const ScenarioLine&, const KeyCommand& command)
{
    harness.key(command.key == KeyCommand::Key::Esc ? VK_ESCAPE : VK_RETURN);
    return std::nullopt;
}

CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ClickCommand& command)
{
    const auto centre = harness.device().windows().buttonCentre(trace::widen(command.text));
    if (!centre)
        return locationOf(line) + "click failed: no visible button says " + trace::quoted(command.text);
    harness.tap(centre->x, centre->y);
    return std::nullopt;
}

CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectWindowCommand& command)
{
    const auto window = harness.mainWindow();
    using State = ExpectWindowCommand::State;
    const State actual = !window ? State::None : harness.windowVisible(*window) ? State::Visible : State::Hidden;
    if (actual == command.state)
        return std::nullopt;
    const char* names[] = {"visible", "hidden", "none"};
    const std::string title = trace::narrow(harness.program().mainWindowTitle);
    return locationOf(line) + std::string(commandName(line.command)) + " " + names[static_cast<int>(command.state)] +
           " failed: the window " + trace::quoted(title) +
           (actual == State::None ? std::string(" does not exist")
                                  : std::string(" is ") + names[static_cast<int>(actual)]);
}

}  // namespace velorin::sim
