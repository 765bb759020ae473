// The utility's resource module: the bytes of velorin.res (dialog templates 102 and 135, icon
// group 128, bitmaps 130 to 134), as sim::Program::resources takes them.
#pragma once

#include <cstdint>
#include <span>

namespace velorin::res {

std::span<const std::uint8_t> resourceModule();

}  // namespace velorin::res
