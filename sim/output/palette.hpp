// Pictures as a GIF stores them: at most 256 colours a picture, each pixel an index.
#pragma once

#include "gdi/surface.hpp"

#include <cstdint>
#include <vector>

namespace velorin::sim {

struct IndexedPicture {
    std::vector<gdi::Rgb> palette;      // 1 to 256 colours
    std::vector<std::uint8_t> indices;  // row-major, one per pixel
};

// A picture of at most 256 colours is kept exactly, its palette in ascending colour order.
// One with more is cut down by median cut (the box with the most pixels over its widest
// channel is split at its median, until there are 256) and each pixel takes the nearest
// colour left. The same pixels always give the same palette and indices.
IndexedPicture quantise(const std::vector<gdi::Rgb>& pixels);

}  // namespace velorin::sim
