#include "sim/cli/builtin_demo.hpp"

namespace velorin::sim {

std::string_view builtinDemoScenario()
{
    return R"(# The sample dialog app starts at 0: a worker thread sends 1 to 5 through a message
# queue, one every 500 ms, and the dialog adds them up; its Add button adds 1.
1s      expect window visible
2s      click Add
3s      expect running
3s      key esc
+100ms  expect exited
+100ms  expect window none
# A second run, ended with its Done button.
+500ms  launch
+1s     expect window visible
+0ms    click Done
+100ms  expect exited
+100ms  end
)";
}

}  // namespace velorin::sim
