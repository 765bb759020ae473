// Device time: whole milliseconds since the device booted.
#pragma once

#include <cstdint>
#include <limits>

namespace velorin::kernel {

using DeviceTime = std::int64_t;
inline constexpr DeviceTime kForever = std::numeric_limits<DeviceTime>::max();
// The last moment a run may reach: a wait of any finite length begun then still ends before
// kForever, which means never.
inline constexpr DeviceTime kLastMoment = kForever - DeviceTime{0xFFFFFFFF} - 1;

// Deadline for a wait of `ms` from `now`, where the system library's INFINITE means none.
constexpr DeviceTime deadlineAfter(DeviceTime now, std::uint32_t ms)
{
    return ms == 0xFFFFFFFFu ? kForever : now + static_cast<DeviceTime>(ms);
}

}  // namespace velorin::kernel
