// conformance-device: boots a device, runs the suite's program on it until it ends, and leaves
// its lines on standard output. Exit status 0 when the program ended by itself.
#include "sim/harness/harness.hpp"

#include <cstddef>
#include <cstdint>

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
    harness.launch();
    while (harness.programRunning() && harness.now() < kLongestRun)
        harness.runFor(kStep);
    return harness.programRunning() ? 1 : 0;
}
