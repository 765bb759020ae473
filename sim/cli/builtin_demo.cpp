// The scenario that velorin-sim plays when it is given none, built in from examples/demo.scn.
#include "sim/cli/builtin_demo.hpp"

#include <cstddef>
#include <cstdint>

// examples/demo.scn, built in.
extern const std::uint8_t velorin_demo_scenario[];
extern const std::size_t velorin_demo_scenario_size;

namespace velorin::sim {

std::string_view builtinDemoScenario()
{
    return {reinterpret_cast<const char*>(velorin_demo_scenario), velorin_demo_scenario_size};
}

}  // namespace velorin::sim
