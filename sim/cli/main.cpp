// velorin-sim: boots a device, runs the program on it through a scenario, shows what happened.
#include "sim/cli/options.hpp"
#include "sim/cli/sim_run.hpp"

#include <iostream>

int main(int argc, char** argv)
{
    using namespace velorin::sim;
    const ParsedCommandLine parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        (parsed.exitStatus == 0 ? std::cout : std::cerr) << parsed.message << '\n';
        return parsed.exitStatus;
    }
    return runSimulator(*parsed.options);
}
