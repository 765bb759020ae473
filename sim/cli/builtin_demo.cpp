#include "sim/cli/builtin_demo.hpp"

namespace velorin::sim {

std::string_view builtinDemoScenario()
{
    return R"(# Velorin starts on the default device, on battery: its window is hidden at once.
0       expect reg HKLM\Drivers\BuiltIn\Battery Velorin dword:1
+10ms   expect window hidden
# The charger: the charging sequence turns the display, shows the screen after its one-second
# pause, and brings the backlight back up in a ramp.
1s      plug
+500ms  expect window hidden
+1s     expect window visible
+0ms    expect orientation 90
+0ms    expect reg HKCU\ControlPanel\BackLight UseDim dword:0
5s      percent 60
# A second start finds the first one's window and ends at once.
6s      launch
+100ms  expect running
# Unplugged: the screen goes away and the user's settings come back.
8s      unplug
+100ms  expect window hidden
+0ms    expect orientation 0
+0ms    expect reg HKCU\ControlPanel\BackLight UseDim dword:1
+0ms    expect reg HKLM\System\GDI\Rotation AutoRotate dword:2147483649
12s     expect reg HKCU\ControlPanel\BackLight BatteryBacklightLevel dword:5
+0ms    expect reg HKCU\ControlPanel\BackLight AcBacklightLevel dword:8
+0ms    end
)";
}

}  // namespace velorin::sim
