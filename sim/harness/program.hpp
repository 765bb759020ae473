// A program that the simulator can start on the device.
#pragma once

#include "kernel/kernel.hpp"

#include <cstdint>
#include <span>
#include <string>

namespace velorin::sim {

struct Program {
    std::string name;
    kernel::ProcessEntry entry;
    // The bytes of its resource module (a .res file, such as velorin_resources embeds); empty
    // for none. The device copies them at each launch.
    std::span<const std::uint8_t> resources;
    // The title of its main window, which `expect window` looks for.
    std::wstring mainWindowTitle;
};

// The program that scenarios launch.
Program defaultProgram();

}  // namespace velorin::sim
