// How the player carries out each scenario command. An area of the device that supports a
// command declares its overload here and defines it in its own file; a command without an
// overload is refused before a run starts. Each returns a failure text for an expectation
// that did not hold, and nothing otherwise.
#pragma once

#include "sim/harness/harness.hpp"
#include "sim/scenario/scenario.hpp"

#include <optional>
#include <string>

namespace velorin::sim {

using CommandOutcome = std::optional<std::string>;

// Programs (process_commands.cpp).
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const LaunchCommand& command);
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectProcessCommand& command);

// The screen (gdi_commands.cpp).
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const SnapshotCommand& command);
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectPixelCommand& command);

// The registry (registry_commands.cpp).
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const RegSetCommand& command);
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const RegDeleteCommand& command);
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectRegCommand& command);

// Input and windows (window_commands.cpp).
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const TapCommand& command);
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const KeyCommand& command);
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ClickCommand& command);
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectWindowCommand& command);

// The display (display_commands.cpp).
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const RotateCommand& command);
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectOrientationCommand& command);

// The battery and the backlight (power_commands.cpp).
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const PowerCommand& command);
CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectBacklightCommand& command);

template <class T>
concept PlayableCommand = requires(Harness& harness, const ScenarioLine& line, const T& command) {
    { runCommand(harness, line, command) } -> std::same_as<CommandOutcome>;
};

}  // namespace velorin::sim
