// One run of velorin-sim, from its options to its files and its summary.
#pragma once

#include "sim/cli/options.hpp"

namespace velorin::sim {

// Plays the run; its exit status: 0 when every expectation held, 1 when one failed, 2 for bad
// input or a file that could not be written, 128 + the signal when interrupted.
int runSimulator(SimOptions options);

}  // namespace velorin::sim
