#include "ui_font_writer.hpp"

#include "byte_writer.hpp"
#include "font_face.hpp"

#include <algorithm>
#include <stdexcept>

namespace velorin::pictures {
namespace {

constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 24;

// Printable ASCII and Latin-1, and the punctuation that dialog text borrows from beyond them.
std::vector<char32_t> characterSet()
{
    std::vector<char32_t> set;
    for (char32_t c = 0x20; c <= 0x7E; ++c) {
        set.push_back(c);
    }
    for (char32_t c = 0xA0; c <= 0xFF; ++c) {
        set.push_back(c);
    }
    for (char32_t c : {0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2026, 0x20AC}) {
        set.push_back(c);
    }
    return set;
}

}  // namespace

std::uint32_t crc32(const std::vector<std::uint8_t>& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

std::vector<std::uint8_t> encodeUiFont(FontFace& face, int pixels)
{
    struct Entry {
        char32_t code;
        GlyphRaster raster;
    };
    std::vector<Entry> glyphs;
    for (char32_t c : characterSet()) {
        if (c <= 0x7E && !face.hasGlyph(c)) {
            throw std::runtime_error(face.name() + " lacks a printable ASCII character");
        }
        if (face.hasGlyph(c)) {
            glyphs.push_back({c, face.renderHinted(c, pixels)});
        }
    }
    // The line is what printable ASCII inks, plus a row of internal leading above for accents,
    // so that an 8-point face comes out at the 13-pixel line of the system's dialog font.
    int ascent = 0;
    int descent = 0;
    for (const Entry& e : glyphs) {
        if (e.code <= 0x7E && e.raster.height > 0) {
            ascent = std::max(ascent, e.raster.top + 1);
            descent = std::max(descent, e.raster.height - e.raster.top);
        }
    }
    const std::string name = face.name();

    std::size_t coverageBytes = 0;
    for (const Entry& e : glyphs) {
        if (e.raster.width > 255 || e.raster.height > 255) {
            throw std::runtime_error(name + ": a glyph is too large for the UI font");
        }
        coverageBytes += e.raster.coverage.size();
    }

    ByteWriter w;
    w.text("VUIF");
    w.u16(kVersion);
    w.u16(static_cast<std::uint16_t>(pixels));
    w.i16(static_cast<std::int16_t>(ascent));
    w.i16(static_cast<std::int16_t>(descent));
    w.i16(static_cast<std::int16_t>(ascent + descent));
    w.u16(static_cast<std::uint16_t>(glyphs.size()));
    w.u32(static_cast<std::uint32_t>(coverageBytes));
    w.u16(static_cast<std::uint16_t>(name.size()));
    w.u16(0);
    if (w.size() != kHeaderBytes) {
        throw std::logic_error("UI font header size");
    }
    w.text(name);
    std::uint32_t offset = 0;
    for (const Entry& e : glyphs) {
        w.u32(static_cast<std::uint32_t>(e.code));
        w.i16(static_cast<std::int16_t>(e.raster.advance));
        w.i16(static_cast<std::int16_t>(e.raster.left));
        w.i16(static_cast<std::int16_t>(e.raster.top));
        w.u8(static_cast<std::uint8_t>(e.raster.width));
        w.u8(static_cast<std::uint8_t>(e.raster.height));
        w.u32(offset);
        offset += static_cast<std::uint32_t>(e.raster.coverage.size());
    }
    for (const Entry& e : glyphs) {
        w.bytes(e.raster.coverage);
    }
    w.u32(crc32(w.bytes()));
    return w.bytes();
}

}  // namespace velorin::pictures
