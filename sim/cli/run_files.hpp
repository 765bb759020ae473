// Where a run's files go: those named on the command line, and the demo's and the live device's
// own under out/.
#pragma once

#include "sim/cli/options.hpp"
#include "sim/cli/output_paths.hpp"

#include <filesystem>
#include <vector>

namespace velorin::sim {

inline const std::filesystem::path kDemoOutput = "out";

struct RunFiles {
    bool demo = false;            // the built-in demo, no scenario and no window
    bool usesDemoOutput = false;  // something goes under out/
    std::vector<NamedPath> paths;  // every file and folder of the run, read or written
};

// Fills in the defaults that the options leave open, and names every path of the run.
RunFiles chooseRunFiles(SimOptions& options);

}  // namespace velorin::sim
