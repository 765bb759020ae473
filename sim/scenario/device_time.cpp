// Device time read from and written as text: "250ms", "1.5s", "3m", "1h".
#include "sim/scenario/device_time.hpp"

#include <charconv>
#include <limits>
#include <stdexcept>

namespace velorin::sim {
namespace {

constexpr std::string_view kExamples = "write e.g. 0, 250ms, 2s, 1.5s, 3m or 1h";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t countDigits(std::string_view text, std::size_t from)
{
    std::size_t end = from;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return end - from;
}

std::int64_t unitMilliseconds(std::string_view unit)
{
    if (unit == "ms")
        return 1;
    if (unit == "s")
        return 1'000;
    if (unit == "m")
        return 60'000;
    if (unit == "h")
        return 3'600'000;
    return 0;
}

}  // namespace

std::string tooLate()
{
    return "is past the device's last moment, " + std::to_string(kernel::kLastMoment) + "ms";
}

DeviceTime parseDeviceTime(std::string_view text)
{
    auto fail = [&](std::string_view why) -> DeviceTime {
        throw std::invalid_argument("time '" + std::string(text) + "' " + std::string(why));
    };
    if (text.empty())
        throw std::invalid_argument("missing time; " + std::string(kExamples));

    const std::size_t wholeDigits = countDigits(text, 0);
    if (wholeDigits == 0)
        return fail("is not a time; " + std::string(kExamples));
    std::string_view whole = text.substr(0, wholeDigits);
    std::size_t pos = wholeDigits;

    std::string_view fraction;
    const bool hasPoint = pos < text.size() && text[pos] == '.';
    if (hasPoint) {
        fraction = text.substr(pos + 1, countDigits(text, pos + 1));
        if (fraction.empty())
            return fail("needs digits after the '.'");
        pos += 1 + fraction.size();
    }

    const std::string_view unit = text.substr(pos);
    if (unit.empty()) {
        if (text == "0")
            return 0;
        return fail("needs a unit: ms, s, m or h");
    }
    const std::int64_t scale = unitMilliseconds(unit);
    if (scale == 0 && unit.find_first_of("0123456789") != std::string_view::npos)
        return fail("mixes units; write one number with one unit, e.g. 90m or 1.5h");
    if (scale == 0)
        return fail("has an unknown unit '" + std::string(unit) + "'; use ms, s, m or h");
    if (hasPoint && scale == 1)
        return fail("has a fraction, but ms takes whole numbers");

    // Trailing zeros change nothing; past 7 significant decimals no unit here gives whole ms.
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    std::int64_t fractionMs = 0;
    if (!fraction.empty()) {
        if (fraction.size() > 7)
            return fail("is not a whole number of milliseconds");
        std::int64_t digits = 0;
        std::from_chars(fraction.data(), fraction.data() + fraction.size(), digits);
        std::int64_t divisor = 1;
        for (std::size_t i = 0; i < fraction.size(); ++i)
            divisor *= 10;
        if (digits * scale % divisor != 0)
            return fail("is not a whole number of milliseconds");
        fractionMs = digits * scale / divisor;
    }

    std::int64_t wholeValue = 0;
    const auto parsed = std::from_chars(whole.data(), whole.data() + whole.size(), wholeValue);
    if (parsed.ec == std::errc::result_out_of_range || wholeValue > (kernel::kLastMoment - fractionMs) / scale)
        return fail(tooLate());
    return wholeValue * scale + fractionMs;
}

std::string formatDeviceTime(DeviceTime time)
{
    if (time == 0)
        return "0";
    if (time < 1'000 && time > -1'000)
        return std::to_string(time) + "ms";
    std::string text = std::to_string(time / 1'000);
    if (const std::int64_t ms = time % 1'000; ms != 0) {
        std::string digits = std::to_string(ms < 0 ? -ms : ms);
        digits.insert(0, 3 - digits.size(), '0');
        while (digits.back() == '0')
            digits.pop_back();
        text += "." + digits;
    }
    return text + "s";
}

}  // namespace velorin::sim
