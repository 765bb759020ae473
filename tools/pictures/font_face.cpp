#include "font_face.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace velorin::pictures {
namespace {

void doneLibrary(FT_LibraryRec_* library)
{
    FT_Done_FreeType(library);
}

void doneFace(FT_FaceRec_* face)
{
    FT_Done_Face(face);
}

std::string codeName(char32_t c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

}  // namespace

FontFace::FontFace(const std::filesystem::path& file)
    : m_file(file), m_library(nullptr, doneLibrary), m_face(nullptr, doneFace)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        throw std::runtime_error("FreeType does not start");
    }
    m_library.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), 0, &face) != 0) {
        throw std::runtime_error(file.string() + ": not a font FreeType can open");
    }
    m_face.reset(face);
    if (!FT_IS_SCALABLE(face)) {
        throw std::runtime_error(file.string() + ": not an outline font");
    }
}

FontFace::~FontFace()
{
    m_face.reset();  // before the library that owns it
}

std::string FontFace::name() const
{
    std::string name = m_face->family_name ? m_face->family_name : "?";
    if (m_face->style_name) {
        name += std::string(" ") + m_face->style_name;
    }
    return name;
}

bool FontFace::hasGlyph(char32_t c) const
{
    return FT_Get_Char_Index(m_face.get(), c) != 0;
}

void FontFace::setSize(double pixels)
{
    // At 72 dpi a point is a pixel, so the char size is the pixel size in 26.6.
    if (FT_Set_Char_Size(m_face.get(), 0, std::lround(pixels * 64), 72, 72) != 0) {
        throw std::runtime_error(m_file.string() + ": cannot scale to " + std::to_string(pixels) + " px");
    }
}

GlyphRaster FontFace::rasterise(int loadFlags, char32_t c, double shiftX, double shiftY)
{
    FT_Face face = m_face.get();
    const FT_UInt index = FT_Get_Char_Index(face, c);
    if (index == 0) {
        throw std::runtime_error(m_file.string() + ": no glyph for " + codeName(c));
    }
    if (FT_Load_Glyph(face, index, loadFlags | FT_LOAD_NO_BITMAP) != 0) {
        throw std::runtime_error(m_file.string() + ": cannot load the glyph for " + codeName(c));
    }
    FT_GlyphSlot slot = face->glyph;
    FT_Outline_Translate(&slot->outline, std::lround(shiftX * 64), std::lround(shiftY * 64));
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
        throw std::runtime_error(m_file.string() + ": cannot render the glyph for " + codeName(c));
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    GlyphRaster raster;
    raster.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    raster.left = slot->bitmap_left;
    raster.top = slot->bitmap_top;
    raster.width = static_cast<int>(bitmap.width);
    raster.height = static_cast<int>(bitmap.rows);
    raster.coverage.reserve(static_cast<std::size_t>(raster.width * raster.height));
    for (int y = 0; y < raster.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        raster.coverage.insert(raster.coverage.end(), row, row + raster.width);
    }
    return raster;
}

GlyphRaster FontFace::renderSmooth(char32_t c, double pixels, double shiftX, double shiftY)
{
    setSize(pixels);
    return rasterise(FT_LOAD_NO_HINTING, c, shiftX, shiftY);
}

GlyphRaster FontFace::renderHinted(char32_t c, int pixels)
{
    setSize(pixels);
    return rasterise(FT_LOAD_TARGET_NORMAL, c, 0, 0);
}

}  // namespace velorin::pictures
