// A scenario's plain values: numbers in range, choices, angles and colours.
#include "sim/scenario/value_parsers.hpp"

#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

namespace velorin::sim {
namespace {

// Digits only: no sign, no blanks, no suffix.
std::optional<std::uint64_t> parseDigits(std::string_view word, int base = 10)
{
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (word.empty() || end != word.data() + word.size())
        return std::nullopt;
    if (ec == std::errc::result_out_of_range)
        return std::numeric_limits<std::uint64_t>::max();
    return value;
}

// Numbers are echoed bare, anything else in quotes.
std::string shown(std::string_view word)
{
    const bool numeric = word.find_first_not_of("+-0123456789") == std::string_view::npos;
    return numeric && !word.empty() ? std::string(word) : "'" + std::string(word) + "'";
}

[[noreturn]] void fail(std::string_view what, std::string_view expected, std::string_view word)
{
    throw std::invalid_argument(std::string(what) + " must be " + std::string(expected) + ", got " + shown(word));
}

}  // namespace

int parseIntInRange(std::string_view word, std::string_view what, int low, int high)
{
    const auto value = parseDigits(word);
    if (!value || *value < static_cast<std::uint64_t>(low) || *value > static_cast<std::uint64_t>(high))
        fail(what, std::to_string(low) + ".." + std::to_string(high), word);
    return static_cast<int>(*value);
}

int parseCoordinate(std::string_view word, std::string_view what)
{
    const auto value = parseDigits(word);
    if (!value || *value > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
        fail(what, "a whole number, 0 or more", word);
    return static_cast<int>(*value);
}

int parseIntChoice(std::string_view word, std::string_view what, std::span<const int> choices)
{
    const auto value = parseDigits(word);
    for (const int choice : choices) {
        if (value && *value == static_cast<std::uint64_t>(choice))
            return choice;
    }
    std::string list;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0)
            list += i + 1 == choices.size() ? " or " : ", ";
        list += std::to_string(choices[i]);
    }
    fail(what, list, word);
}

int parseDegrees(std::string_view word, std::string_view what)
{
    static constexpr std::array kDegrees{0, 90, 180, 270};
    return parseIntChoice(word, what, kDegrees);
}

std::uint32_t parseColour(std::string_view word, std::string_view what)
{
    constexpr std::string_view kHex = "0123456789abcdefABCDEF";
    if (word.size() != 7 || word.front() != '#' || word.find_first_not_of(kHex, 1) != std::string_view::npos)
        fail(what, "#rrggbb", word);
    return static_cast<std::uint32_t>(*parseDigits(word.substr(1), 16));
}

}  // namespace velorin::sim
