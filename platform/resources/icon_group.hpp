// RT_GROUP_ICON: the directory of an icon's images (GRPICONDIR and its 14-byte entries), and the
// choice of the image that LoadIconW takes.
#pragma once

#include "kernel/windef.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velorin::resources {

struct IconDirEntry {
    int width = 0;  // a stored 0 stands for 256
    int height = 0;
    int colorCount = 0;
    int planes = 0;
    int bitCount = 0;
    DWORD bytes = 0;
    WORD id = 0;  // of the RT_ICON resource
};

// Throws ResourceFormatError naming `source`, the byte offset and what is wrong.
std::vector<IconDirEntry> parseIconGroup(std::span<const std::uint8_t> bytes, const std::string& source);

// The image nearest to `size` pixels square; among those, the deepest colour not beyond
// `displayBits` (or, when all are deeper, the shallowest). Needs at least one image.
const IconDirEntry& chooseIconImage(const std::vector<IconDirEntry>& images, int size, int displayBits);

}  // namespace velorin::resources
