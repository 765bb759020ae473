#include "sim/cli/builtin_demo.hpp"

namespace velorin::sim {

std::string_view builtinDemoScenario()
{
    return R"(# The sample program starts at 0: a producer thread sends 1..5 through a message
# queue, one every 500 ms, then signals a named event; the main thread adds them up and
# exits with the sum.
1s      expect running
3s      expect exited
# A second run of the program, started by hand.
+500ms  launch
+1s     expect running
+3s     expect exited
+500ms  end
)";
}

}  // namespace velorin::sim
