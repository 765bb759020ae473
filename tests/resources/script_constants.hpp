// The values of script_constants.inc as a script sees them through the device's <winresrc.h>.
// The script's macros and the C++ constants of the same names cannot meet in one file, so
// script_constants.cpp reads them alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velorin::test {

struct ScriptConstant {
    std::string name;
    std::uint32_t value;
};

std::vector<ScriptConstant> scriptConstants();

}  // namespace velorin::test
