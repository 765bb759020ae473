// A program that the simulator can start on the device.
#pragma once

#include "kernel/kernel.hpp"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace velorin::sim {

struct Program {
    std::string name;
    kernel::ProcessEntry entry;
    // The bytes of its resource module (a .res file, such as velorin_resources embeds); empty
    // for none. The device copies them at each launch.
    std::span<const std::uint8_t> resources = {};
    // The title of its main window, which `expect window` looks for.
    std::wstring mainWindowTitle = {};
    // Puts the program's globals at their start values. On the device each launch is a new
    // process; here every launch shares one address space, so this runs before a launch when
    // no instance is running (a second instance shares the running one's, as it would its
    // window and registry).
    std::function<void()> resetGlobals = {};
    // Names of the program's own messages, for the trace's dispatch lines.
    std::vector<std::pair<UINT, std::string>> messageNames = {};
};

// The utility, which velorin-sim and scenarios launch.
Program defaultProgram();

}  // namespace velorin::sim
