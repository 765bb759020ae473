#include "sim/cli/builtin_demo.hpp"

namespace velorin::sim {

std::string_view builtinDemoScenario()
{
    return R"(# Velorin starts on the default device, on battery: its window covers the screen, captures
# the user's settings, and 80 ms later, with no charger known, hides itself.
0       expect reg HKLM\Drivers\BuiltIn\Battery Velorin dword:1
+50ms   expect window visible
+0ms    expect pixel 120 160 #000000
+50ms   expect window hidden
# A second start finds the first one's window and ends at once.
1s      launch
+100ms  expect running
# Another program turns the display; the utility keeps running, hidden.
2s      rotate 90
+100ms  expect orientation 90
+0ms    expect window hidden
# The user's settings are as they were.
3s      expect reg HKCU\ControlPanel\BackLight UseDim dword:1
+0ms    expect reg HKCU\ControlPanel\BackLight AcBacklightLevel dword:8
+0ms    end
)";
}

}  // namespace velorin::sim
