// Device time as scenarios write it: every unit, exact fractions, what is refused, and formatting
// that parses back to the same time.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>

#include "sim/scenario/device_time.hpp"

namespace velorin::sim {
namespace {

constexpr DeviceTime kMaxTime = kernel::kLastMoment;

std::string timeError(std::string_view text)
{
    try {
        parseDeviceTime(text);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(DeviceTime, ReadsEveryUnitAndExactFractions)
{
    EXPECT_EQ(parseDeviceTime("0"), 0);
    EXPECT_EQ(parseDeviceTime("0s"), 0);
    EXPECT_EQ(parseDeviceTime("250ms"), 250);
    EXPECT_EQ(parseDeviceTime("2s"), 2'000);
    EXPECT_EQ(parseDeviceTime("1.5s"), 1'500);
    EXPECT_EQ(parseDeviceTime("0.001s"), 1);
    EXPECT_EQ(parseDeviceTime("1.2500000s"), 1'250);
    EXPECT_EQ(parseDeviceTime("3m"), 180'000);
    EXPECT_EQ(parseDeviceTime("0.5m"), 30'000);
    EXPECT_EQ(parseDeviceTime("1h"), 3'600'000);
    EXPECT_EQ(parseDeviceTime("0.0000025h"), 9);
    EXPECT_EQ(parseDeviceTime("9223372032559808511ms"), kMaxTime);
}

TEST(DeviceTime, RejectsWhatIsNotAWholeMillisecondTime)
{
    EXPECT_EQ(timeError("5"), "time '5' needs a unit: ms, s, m or h");
    EXPECT_EQ(timeError("1.5ms"), "time '1.5ms' has a fraction, but ms takes whole numbers");
    EXPECT_EQ(timeError("1.0005s"), "time '1.0005s' is not a whole number of milliseconds");
    EXPECT_EQ(timeError("0.00000001h"), "time '0.00000001h' is not a whole number of milliseconds");
    EXPECT_EQ(timeError("3x"), "time '3x' has an unknown unit 'x'; use ms, s, m or h");
    EXPECT_EQ(timeError("1h30m"), "time '1h30m' mixes units; write one number with one unit, e.g. 90m or 1.5h");
    EXPECT_EQ(timeError("2S"), "time '2S' has an unknown unit 'S'; use ms, s, m or h");
    EXPECT_EQ(timeError("1.s"), "time '1.s' needs digits after the '.'");
    // Room is left past the last moment for the longest wait a program can begin then.
    const std::string late = " is past the device's last moment, 9223372032559808511ms";
    EXPECT_EQ(timeError("9223372036854775807ms"), "time '9223372036854775807ms'" + late);
    EXPECT_EQ(timeError("9223372032559808512ms"), "time '9223372032559808512ms'" + late);
    EXPECT_EQ(timeError("9223372032559808511ms"), "(no error)");
    EXPECT_EQ(timeError("2562047788016h"), "time '2562047788016h'" + late);
    EXPECT_EQ(timeError("99999999999999999999s"), "time '99999999999999999999s'" + late);
    EXPECT_NE(timeError("-1s").find("is not a time"), std::string::npos);
    EXPECT_NE(timeError(".5s").find("is not a time"), std::string::npos);
    EXPECT_NE(timeError("").find("missing time"), std::string::npos);
}

TEST(DeviceTime, FormatsSoThatParsingGivesTheSameTime)
{
    EXPECT_EQ(formatDeviceTime(0), "0");
    EXPECT_EQ(formatDeviceTime(250), "250ms");
    EXPECT_EQ(formatDeviceTime(2'000), "2s");
    EXPECT_EQ(formatDeviceTime(1'050), "1.05s");
    for (const DeviceTime t :
         {DeviceTime{1}, DeviceTime{999}, DeviceTime{1'001}, DeviceTime{61'234}, DeviceTime{3'600'000}, kMaxTime})
        EXPECT_EQ(parseDeviceTime(formatDeviceTime(t)), t) << formatDeviceTime(t);
}

}  // namespace
}  // namespace velorin::sim
