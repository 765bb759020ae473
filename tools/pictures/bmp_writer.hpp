// 24-bit Windows bitmaps as a resource compiler takes them: BITMAPFILEHEADER, BITMAPINFOHEADER,
// rows bottom-up in B, G, R order, each padded to 4 bytes.
#pragma once

#include "image.hpp"

#include <cstdint>
#include <vector>

namespace velorin::pictures {

std::vector<std::uint8_t> encodeBmp(const Image& image);

}  // namespace velorin::pictures
