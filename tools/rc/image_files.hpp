// The picture files that ICON and BITMAP statements name, read as a resource compiler reads
// them. Problems are thrown as std::runtime_error with the problem alone; the caller adds the
// statement's place.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace velorin::rc {

// A .bmp file without its BITMAPFILEHEADER: the packed DIB that an RT_BITMAP resource holds.
std::vector<std::uint8_t> readBitmapFile(const std::filesystem::path& file);

// One image of an .ico file: its directory entry and its bytes (a DIB or a PNG).
struct IconFileImage {
    std::uint8_t width = 0;  // 0 stands for 256
    std::uint8_t height = 0;
    std::uint8_t colorCount = 0;
    std::uint8_t reserved = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::vector<std::uint8_t> data;
};

std::vector<IconFileImage> readIconFile(const std::filesystem::path& file);

}  // namespace velorin::rc
