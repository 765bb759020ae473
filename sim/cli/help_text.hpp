// The help's text wrapped to a terminal's width.
#pragma once

#include <cstddef>
#include <string>

namespace velorin::sim {

// Each line longer than `width` broken at spaces; an option's description goes on under
// itself (at `descriptionColumn`), any other line under its own start.
std::string wrapHelp(const std::string& text, std::size_t width, std::size_t descriptionColumn);

}  // namespace velorin::sim
