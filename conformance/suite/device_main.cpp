// conformance-device: boots a device, runs the suite's program on it until it ends, and leaves
// its lines on standard output. Exit status 0 when the program ended by itself.
#include "sim/harness/harness.hpp"

#include "conformance/suite/process_child.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

extern const std::uint8_t velorin_conformance_resources[];
extern const std::size_t velorin_conformance_resources_size;

int ConformanceMain();

namespace {

// The suite waits in device time only (timers, sleeps, dialogs' watchdogs): a minute is ample.
constexpr velorin::sim::DeviceTime kLongestRun = 60'000;
constexpr velorin::sim::DeviceTime kStep = 100;

}  // namespace

int main()
{
    velorin::sim::HarnessOptions options;
    options.program = velorin::sim::Program{
        "conformance", &ConformanceMain, {velorin_conformance_resources, velorin_conformance_resources_size}};
    velorin::sim::Harness harness(options);
    // Beside the suite's own image, as conformance_child.exe is beside conformance.exe.
    harness.device().installImage(std::wstring(L"\\Windows\\") + conformance::kChildImage, &ConformanceChildMain);
    harness.launch();
    while (harness.programRunning() && harness.now() < kLongestRun)
        harness.runFor(kStep);
    return harness.programRunning() ? 1 : 0;
}
