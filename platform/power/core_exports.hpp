// The power functions of the system library as programs look them up by name.
#pragma once

#include "kernel/module_table.hpp"

namespace velorin::power {

// Adds this area's functions to the exports of "coredll.dll" (under the kernel lock).
void addCoreExportsLocked(kernel::ModuleTable& modules);

}  // namespace velorin::power
