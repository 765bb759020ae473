// How far CE's registry goes: the limits of its Registry page, shared by the API, the registry
// file's reader and the scenarios that write keys.
#pragma once

#include <cstddef>
#include <string>

namespace velorin::registry {

// Key and value names, in characters.
inline constexpr std::size_t kMaxNameLength = 255;
// Keys nest at most this many levels below their root.
inline constexpr std::size_t kMaxKeyDepth = 16;

// What is wrong with a key path `levels` deep, past kMaxKeyDepth.
inline std::string keyTooDeep(std::size_t levels)
{
    return "is " + std::to_string(levels) + " levels deep; Windows CE nests keys at most " +
           std::to_string(kMaxKeyDepth) + " levels below their root";
}

}  // namespace velorin::registry
