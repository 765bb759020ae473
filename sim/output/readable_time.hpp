// Device time for people: "0.25s", "3.5s", "12m 30s", "1h 02m 05s".
#pragma once

#include "sim/scenario/device_time.hpp"

#include <string>

namespace velorin::sim {

// Under a minute to the hundredth of a second without trailing zeros ("0", "0.25s", "3.5s");
// from a minute on in whole seconds.
std::string readableTime(DeviceTime time);

}  // namespace velorin::sim
