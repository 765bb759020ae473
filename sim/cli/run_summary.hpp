// The line velorin-sim ends with on standard error: what was played, what held, what was saved.
#pragma once

#include "sim/player/scenario_player.hpp"
#include "sim/scenario/scenario.hpp"

#include <ostream>
#include <string>
#include <vector>

namespace velorin::sim {

// `saved`: what the run wrote, each as "trace in out/trace.txt".
void printRunSummary(std::ostream& out, const Scenario& scenario, const PlayResult& result, bool interrupted,
                     const std::vector<std::string>& saved);

}  // namespace velorin::sim
