// Plays a scenario on a harness: setup at time 0, the program's launch, then each line at its
// time, with `expect` lines checked against the device.
#pragma once

#include "sim/harness/harness.hpp"
#include "sim/scenario/scenario.hpp"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace velorin::sim {

struct PlayResult {
    int expectsChecked = 0;
    int expectsFailed = 0;
    std::vector<std::string> failures;  // "file:line: expect ... failed: why", and commands that could not run
    DeviceTime endedAt = 0;
};

class ScenarioPlayer {
public:
    explicit ScenarioPlayer(Harness& harness) : m_harness(harness) {}

    // Told of each line just before it runs (at its time) and just after, with its failure.
    std::function<void(const ScenarioLine&)> beforeLine;
    std::function<void(const ScenarioLine&, const std::optional<std::string>& failure)> afterLine;

    // Plays the whole scenario, or up to `until` when given (the run then also lasts until
    // then), or until the harness is asked to stop. Failed expectations are collected, and
    // reported to `report` as they happen.
    PlayResult play(const Scenario& scenario, std::optional<DeviceTime> until = std::nullopt,
                    std::ostream* report = nullptr);

private:
    // Returns a failure text, or nothing when the line held or was not an expectation.
    std::optional<std::string> run(const ScenarioLine& line);

    Harness& m_harness;
};

}  // namespace velorin::sim
