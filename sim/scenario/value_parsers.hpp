// A scenario's plain values: numbers in range, choices, angles and colours.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace velorin::sim {

// Plain decimal argument values. Each throws std::invalid_argument whose message starts with
// `what`, e.g. "percent must be 0..255, got 300".

int parseIntInRange(std::string_view word, std::string_view what, int low, int high);
int parseCoordinate(std::string_view word, std::string_view what);  // 0..INT_MAX
// One of `choices`, listed in the message as "0, 1, 2 or 255".
int parseIntChoice(std::string_view word, std::string_view what, std::span<const int> choices);
int parseDegrees(std::string_view word, std::string_view what);           // 0, 90, 180, 270
std::uint32_t parseColour(std::string_view word, std::string_view what);  // #rrggbb

}  // namespace velorin::sim
