#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velorin::sim {

// Whole milliseconds since the simulated device booted.
using DeviceTime = std::int64_t;

// "0", "250ms", "2s", "1.5s", "3m", "1h". Throws std::invalid_argument naming the text and
// what is wrong with it; shared by scenario lines and --until.
DeviceTime parseDeviceTime(std::string_view text);

// Shortest form parseDeviceTime reads back: "0", "250ms", "1.5s", "120s".
std::string formatDeviceTime(DeviceTime time);

}  // namespace velorin::sim
