// A program that the simulator can start on the device.
#pragma once

#include "kernel/kernel.hpp"

#include <string>

namespace velorin::sim {

struct Program {
    std::string name;
    kernel::ProcessEntry entry;
};

// The program that scenarios launch.
Program defaultProgram();

}  // namespace velorin::sim
