// The battery flag that the battery driver reports with a reading. Plain numbers only, so that
// the CE layer for desktop Win32 reports it alike from its own headers.
#pragma once

#include <cstdint>

namespace velorin::power {

// BATTERY_FLAG_HIGH, LOW, CRITICAL and CHARGING, and BATTERY_FLAG_UNKNOWN when the percentage is
// unknown (255); between low and high no level flag is set.
constexpr std::uint8_t batteryFlagFor(std::uint8_t acLineStatus, std::uint8_t percent)
{
    constexpr std::uint8_t kUnknown = 0xFF;
    constexpr std::uint8_t kHigh = 0x01;
    constexpr std::uint8_t kLow = 0x02;
    constexpr std::uint8_t kCritical = 0x04;
    constexpr std::uint8_t kCharging = 0x08;
    constexpr std::uint8_t kAcOnline = 0x01;
    if (percent == kUnknown)
        return kUnknown;
    std::uint8_t flag = 0;
    if (percent < 5)
        flag = kCritical;
    else if (percent < 33)
        flag = kLow;
    else if (percent > 66)
        flag = kHigh;
    if (acLineStatus == kAcOnline && percent < 100)
        flag |= kCharging;
    return flag;
}

}  // namespace velorin::power
