// How far CE's registry goes: the limits of its Registry page, shared by the API, the registry
// file's reader and the scenarios that write keys.
#pragma once

#include <cstddef>

namespace velorin::registry {

// Key and value names, in characters.
inline constexpr std::size_t kMaxNameLength = 255;
// Keys nest at most this many levels below their root.
inline constexpr std::size_t kMaxKeyDepth = 16;

}  // namespace velorin::registry
