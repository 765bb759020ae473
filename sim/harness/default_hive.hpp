// The default device's hive, sim/default.reg, built into the simulator so that it runs from
// any folder.
#pragma once

#include <string_view>

namespace velorin::sim {

inline constexpr std::string_view kDefaultHiveName = "sim/default.reg";

std::string_view defaultHiveText();

}  // namespace velorin::sim
