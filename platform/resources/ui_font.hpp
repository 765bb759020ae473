// The device's UI font: the proportional sans-serif in which dialog captions, static text and
// buttons are drawn, as pre-rendered anti-aliased glyphs at one pixel size (an 8-point dialog
// font on a 96-dpi handheld: 11 pixels to the em, a 13-pixel line). The committed file
// fonts/ui_font.bin is embedded in the platform library; tools/pictures draws it anew.
//
// File format, version 1. All integers little-endian; offsets in bytes.
//
//   Header, 24 bytes:
//     0  char[4]  magic "VUIF"
//     4  u16      version, 1
//     6  u16      em size in pixels
//     8  i16      ascent: rows above the baseline
//    10  i16      descent: rows below the baseline
//    12  i16      line height, at least ascent + descent
//    14  u16      glyph count N, at least 1
//    16  u32      size C of the coverage block
//    20  u16      length L of the face name
//    22  u16      reserved, 0
//   Face name: L bytes of UTF-8, for people.
//   Glyph table: N records of 16 bytes, code points strictly increasing:
//     0  u32      code point
//     4  i16      advance in pixels
//     6  i16      left: ink's left column relative to the pen position
//     8  i16      top: ink's top row, counted up from the baseline
//    10  u8       width of the ink box
//    11  u8       height of the ink box
//    12  u32      offset of the glyph's coverage in the coverage block
//   Coverage block: C bytes; a glyph's width * height bytes, row-major, 0 (none) to 255 (full).
//   Checksum: u32 CRC-32 (IEEE 802.3, as zlib computes it) of every byte before it.
// The file is exactly 24 + L + 16 N + C + 4 bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velorin::resources {

struct Glyph {
    int advance = 0;
    int left = 0;  // bearing from the pen position
    int top = 0;   // measured up from the baseline
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // row-major, 0..255
};

class UiFont {
public:
    // Throws std::runtime_error naming `source`, the byte offset and what is wrong.
    static UiFont parse(std::span<const std::uint8_t> bytes, std::string_view source = "ui_font.bin");

    // The committed font, embedded in the platform library.
    static const UiFont& system();

    int pixelSize() const { return m_pixelSize; }
    int ascent() const { return m_ascent; }
    int descent() const { return m_descent; }
    int lineHeight() const { return m_lineHeight; }

    // Null for a character the font does not have.
    const Glyph* glyph(char32_t c) const;

    // The sum of the advances; a character the font lacks counts as '?'.
    int textWidth(std::wstring_view text) const;

    // The dialog base unit: as Windows computes it, half the width of "A".."Z" "a".."z" divided
    // by 26, rounded: (width / 26 + 1) / 2.
    int averageCharWidth() const { return m_averageCharWidth; }

private:
    UiFont() = default;

    int m_pixelSize = 0;
    int m_ascent = 0;
    int m_descent = 0;
    int m_lineHeight = 0;
    int m_averageCharWidth = 0;
    std::vector<char32_t> m_codes;  // sorted, parallel to m_glyphs
    std::vector<Glyph> m_glyphs;
};

}  // namespace velorin::resources
