// The device's UI font file (platform/resources/fonts/ui_font.bin): glyph rasters of one outline face at one
// pixel size, in the format that platform/resources/ui_font.hpp documents and reads.
#pragma once

#include <cstdint>
#include <vector>

namespace velorin::pictures {

class FontFace;

std::vector<std::uint8_t> encodeUiFont(FontFace& face, int pixels);

// CRC-32 (IEEE 802.3, as zlib computes it) of the bytes.
std::uint32_t crc32(const std::vector<std::uint8_t>& bytes);

}  // namespace velorin::pictures
