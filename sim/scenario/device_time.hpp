// Device time and its text: "250ms", "1.5s", "3m", "1h".
#pragma once

#include "platform/kernel/device_time.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace velorin::sim {

// Whole milliseconds since the simulated device booted, as the device counts them.
using DeviceTime = kernel::DeviceTime;

// "0", "250ms", "2s", "1.5s", "3m", "1h". Throws std::invalid_argument naming the text and
// what is wrong with it, a time past the device's last moment included; shared by scenario lines
// and --until.
DeviceTime parseDeviceTime(std::string_view text);

// What a message says of a time past the device's last moment.
std::string tooLate();

// Shortest form parseDeviceTime reads back: "0", "250ms", "1.5s", "120s".
std::string formatDeviceTime(DeviceTime time);

}  // namespace velorin::sim
