// Plays a scenario on a harness: setup at time 0, the program's launch, then each line at its
// time, with `expect` lines checked against the device.
#pragma once

#include "sim/harness/harness.hpp"
#include "sim/scenario/scenario.hpp"

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

    // Plays the whole scenario, or up to `until` when given (the run then also lasts until
    // then). Failed expectations are collected, and reported to `report` as they happen.
    PlayResult play(const Scenario& scenario, std::optional<DeviceTime> until = std::nullopt,
                    std::ostream* report = nullptr);

private:
    // Returns a failure text, or nothing when the line held or was not an expectation.
    std::optional<std::string> run(const ScenarioLine& line);

    Harness& m_harness;
};

}  // namespace velorin::sim
