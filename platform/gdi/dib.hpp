// Device-independent bitmaps as RT_BITMAP and RT_ICON resources hold them: a BITMAPINFOHEADER
// (or BITMAPCOREHEADER, or a later version), the colour table, the pixel rows; decoded into the
// surfaces that GDI draws with.
#pragma once

#include "gdi/surface.hpp"
#include "kernel/windef.h"

#include <cstdint>
#include <span>
#include <string>

namespace velorin::gdi {

struct DibInfo {
    int width = 0;
    int height = 0;  // as stored; an icon's covers the colour rows and the mask
    bool topDown = false;
    int bitCount = 0;
    DWORD compression = 0;
    std::size_t headerSize = 0;
    std::size_t colours = 0;      // entries of the colour table
    std::size_t pixelOffset = 0;  // where the rows start
};

// What the rows hold: a bitmap's colour rows, or an icon image's colour rows followed by its
// 1-bit mask (the stored height counting both).
enum class DibUse { Bitmap, IconImage };

// Throw resources::ResourceFormatError naming `source`, the byte offset and what is wrong.
// Decoding takes 1, 4 and 8 bits with a colour table, 16 and 32 bits (plain or with bit fields)
// and 24 bits.
DibInfo readDibInfo(std::span<const std::uint8_t> dib, const std::string& source, DibUse use = DibUse::Bitmap);
Surface decodeDib(std::span<const std::uint8_t> dib, const std::string& source);

}  // namespace velorin::gdi
