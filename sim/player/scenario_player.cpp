#include "sim/player/scenario_player.hpp"

#include "sim/player/commands.hpp"

#include <type_traits>
#include <variant>

namespace velorin::sim {

namespace {

// Lines at time 0 that set the device up before the program starts.
bool isSetup(const Command& command)
{
    return std::holds_alternative<PowerCommand>(command) || std::holds_alternative<RegSetCommand>(command) ||
           std::holds_alternative<RegDeleteCommand>(command);
}

bool isSupported(const Command& command)
{
    // `end` is the player's own.
    return std::holds_alternative<EndCommand>(command) ||
           std::visit([](const auto& c) { return PlayableCommand<std::decay_t<decltype(c)>>; }, command);
}

bool isExpectation(const Command& command)
{
    return std::holds_alternative<ExpectWindowCommand>(command) ||
           std::holds_alternative<ExpectProcessCommand>(command) || std::holds_alternative<ExpectRegCommand>(command) ||
           std::holds_alternative<ExpectOrientationCommand>(command) ||
           std::holds_alternative<ExpectBacklightCommand>(command) ||
           std::holds_alternative<ExpectPixelCommand>(command);
}

}  // namespace

void ScenarioPlayer::checkSupported(const Scenario& scenario)
{
    for (const auto& line : scenario.lines) {
        if (!isSupported(line.command))
            throw ScenarioError(line.where,
                                "'" + std::string(commandName(line.command)) + "' is not yet available on this device");
    }
}

PlayResult ScenarioPlayer::play(const Scenario& scenario, std::optional<DeviceTime> until, std::ostream* report)
{
    checkSupported(scenario);
    PlayResult result;
    const auto record = [&](const ScenarioLine& line) {
        const bool expectation = isExpectation(line.command);
        if (expectation)
            ++result.expectsChecked;
        if (auto failure = run(line)) {
            if (expectation)
                ++result.expectsFailed;
            result.failures.push_back(*failure);
            if (report)
                *report << *failure << '\n';
        }
    };

    const auto& lines = scenario.lines;
    const auto withinRun = [&](const ScenarioLine& line) { return !until || line.at <= *until; };
    for (const auto& line : lines) {
        if (line.at == 0 && isSetup(line.command))
            record(line);
    }
    m_harness.launch();
    bool ended = false;
    for (const auto& line : lines) {
        if ((line.at == 0 && isSetup(line.command)) || !withinRun(line))
            continue;
        m_harness.runUntil(line.at);
        if (std::holds_alternative<EndCommand>(line.command)) {
            ended = true;
            break;
        }
        record(line);
    }
    if (until && !ended)
        m_harness.runUntil(*until);
    else
        m_harness.settle();
    result.endedAt = m_harness.now();
    return result;
}

std::optional<std::string> ScenarioPlayer::run(const ScenarioLine& line)
{
    return std::visit(
        [&](const auto& command) -> CommandOutcome {
            using T = std::decay_t<decltype(command)>;
            if constexpr (PlayableCommand<T>) {
                return runCommand(m_harness, line, command);
            } else {
                // checkSupported() keeps every other command out of a run.
                return locationOf(line) + "'" + std::string(commandName(line.command)) + "' is not available";
            }
        },
        line.command);
}

}  // namespace velorin::sim
