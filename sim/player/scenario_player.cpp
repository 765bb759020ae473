// Plays a scenario's lines on a harness at their times and collects what failed.
#include "sim/player/scenario_player.hpp"

#include "sim/player/commands.hpp"

#include <type_traits>
#include <variant>

namespace velorin::sim {

PlayResult ScenarioPlayer::play(const Scenario& scenario, std::optional<DeviceTime> until, std::ostream* report)
{
    PlayResult result;
    const auto record = [&](const ScenarioLine& line) {
        const bool expectation = isExpectation(line.command);
        if (expectation)
            ++result.expectsChecked;
        if (beforeLine)
            beforeLine(line);
        const auto failure = run(line);
        if (failure) {
            if (expectation)
                ++result.expectsFailed;
            result.failures.push_back(*failure);
            if (report)
                *report << *failure << '\n';
        }
        if (afterLine)
            afterLine(line, failure);
    };

    const auto& lines = scenario.lines;
    const auto withinRun = [&](const ScenarioLine& line) { return !until || line.at <= *until; };
    for (const auto& line : lines) {
        if (line.at == 0 && isSetupCommand(line.command))
            record(line);
    }
    m_harness.launch();
    bool ended = false;
    for (const auto& line : lines) {
        if ((line.at == 0 && isSetupCommand(line.command)) || !withinRun(line))
            continue;
        m_harness.runUntil(line.at);
        if (m_harness.stopRequested())
            break;
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
            if constexpr (std::is_same_v<T, EndCommand>) {
                return std::nullopt;  // the player's own, handled where the run is driven
            } else {
                static_assert(PlayableCommand<T>, "every scenario command has a runCommand overload");
                return runCommand(m_harness, line, command);
            }
        },
        line.command);
}

}  // namespace velorin::sim
