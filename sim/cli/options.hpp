// The command line of velorin-sim.
#pragma once

#include "boot/device.hpp"
#include "sim/scenario/device_time.hpp"

#include <optional>
#include <string>
#include <vector>

namespace velorin::sim {

struct SimOptions {
    std::optional<std::string> scenarioFile;  // none: the built-in demo
    std::uint64_t seed = 1;
    std::optional<DeviceTime> until;
    std::optional<trace::TraceLevel> trace;   // none: no trace on the terminal
    std::optional<std::string> traceFile;     // "-": standard output
    std::optional<std::string> registryFile;  // --registry: the device's persistent hive
    std::optional<std::string> framesDir;     // --frames: a PNG for each new screen image
    std::optional<std::string> gifFile;       // --gif: the screen as an animated GIF
    std::optional<std::string> sheetFile;     // --sheet: a contact sheet of the moments that matter
    bool window = false;                      // --window: the live window, in wall time
    // --screen: the physical panel.
    int screenWidth = platform::DeviceOptions{}.screenWidth;
    int screenHeight = platform::DeviceOptions{}.screenHeight;
    bool realtime = false;
    bool free = false;
    bool preempt = false;
    // --power host: the machine's own charger and battery drive the device's (wall time only).
    bool hostPower = false;
    std::optional<std::string> powerRoot;  // --power-root: a folder shaped as /sys/class/power_supply
};

// Either options to run with, or an exit: `--help` (status 0) or a usage error (status 2),
// with the text to print.
struct ParsedCommandLine {
    std::optional<SimOptions> options;
    int exitStatus = 0;
    std::string message;
};

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

}  // namespace velorin::sim
