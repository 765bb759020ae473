// A scenario: its lines in time order, each with its time, place in the file and command.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/scenario/command.hpp"
#include "sim/scenario/device_time.hpp"
#include "sim/scenario/scenario_error.hpp"

namespace velorin::sim {

struct ScenarioLine {
    DeviceTime at = 0;
    SourceLocation where;
    std::string text;  // the line as written, comment stripped, trimmed
    Command command;
};

// Command lines in file order, which is also time order.
struct Scenario {
    std::string file;
    std::vector<ScenarioLine> lines;
};

// "file:line: ", where a player's failure text for a line starts.
std::string locationOf(const ScenarioLine& line);

// With the machine's own charger driving the battery, a scenario's battery lines would fight
// it: "file:line: <command>: ..." for the first of them, or nothing.
std::optional<std::string> refusedWithMachinePower(const Scenario& scenario);

// Throws ScenarioError at the first bad line.
Scenario parseScenario(std::string_view text, const std::string& fileName);

// A read failure is a ScenarioError "path: cannot read: <reason>".
Scenario loadScenarioFile(const std::string& path);

}  // namespace velorin::sim
