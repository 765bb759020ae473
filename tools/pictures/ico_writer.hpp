// Windows .ico files: an ICONDIR, one ICONDIRENTRY per image, then each image as a
// BITMAPINFOHEADER (height doubled for the mask), its palette, the colour rows and the 1-bit AND
// mask, both bottom-up and padded to 4 bytes.
#pragma once

#include "image.hpp"

#include <cstdint>
#include <vector>

namespace velorin::pictures {

struct IconImage {
    int size = 0;                       // width and height
    int bitsPerPixel = 0;               // 4, 8 or 24
    std::vector<Rgb> palette;           // 16 or 256 entries for 4 and 8 bits
    std::vector<std::uint8_t> indices;  // 4 and 8 bits: one palette index a pixel, rows top-down
    std::vector<Rgb> pixels;            // 24 bits: rows top-down
    std::vector<bool> transparent;      // the AND mask: true where the screen shows through
};

std::vector<std::uint8_t> encodeIco(const std::vector<IconImage>& images);

}  // namespace velorin::pictures
