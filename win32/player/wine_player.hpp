// Plays a scenario on the real system: the program under Wine (or Windows), the device's
// battery and display through the CE layer, input through the window manager's own path, and
// every expectation answered by the system itself. Time is the wall clock's.
#pragma once

#include "programs.hpp"
#include "sim/scenario/scenario.hpp"

#include <optional>
#include <ostream>
#include <string>

namespace velorin::wine {

struct PlayOutcome {
    int expectsChecked = 0;
    int expectsFailed = 0;
};

class WinePlayer {
public:
    explicit WinePlayer(std::wstring programPath) : m_programs(std::move(programPath)) {}

    // Failures go to `report` as they happen, in the form "file:line: ... failed: why".
    PlayOutcome play(const sim::Scenario& scenario, std::ostream& report);

private:
    // A failure text, or nothing.
    std::optional<std::string> run(const sim::ScenarioLine& line);
    // An expectation holds if it holds at its time or soon after: the wall clock's programs
    // answer a little later than the device's, which answer at once.
    std::optional<std::string> expect(const sim::ScenarioLine& line);
    std::optional<std::string> check(const sim::ScenarioLine& line);

    Programs m_programs;
};

}  // namespace velorin::wine
