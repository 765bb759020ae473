// The scenario that velorin-sim plays when it is given none.
#pragma once

#include <string_view>

namespace velorin::sim {

inline constexpr std::string_view kBuiltinDemoName = "<built-in demo>";

std::string_view builtinDemoScenario();

}  // namespace velorin::sim
