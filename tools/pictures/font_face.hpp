// One FreeType face and the glyph rasters the generator takes from it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace velorin::pictures {

struct GlyphRaster {
    int advance = 0;  // pixels
    int left = 0;     // ink's left edge from the pen position
    int top = 0;      // ink's top row above the baseline
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // row-major, 0..255
};

class FontFace {
public:
    explicit FontFace(const std::filesystem::path& file);  // throws std::runtime_error naming the file
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    std::string name() const;  // family and style, as the font names itself
    bool hasGlyph(char32_t c) const;

    // Outline scaled to `pixels` per em, unhinted, moved right by `shiftX` and up by `shiftY`
    // pixels (fractions allowed) before it is rasterised.
    GlyphRaster renderSmooth(char32_t c, double pixels, double shiftX, double shiftY);

    // Hinted for small text at a whole pixel size, advances rounded to pixels.
    GlyphRaster renderHinted(char32_t c, int pixels);

private:
    void setSize(double pixels);
    GlyphRaster rasterise(int loadFlags, char32_t c, double shiftX, double shiftY);

    std::filesystem::path m_file;
    std::unique_ptr<FT_LibraryRec_, void (*)(FT_LibraryRec_*)> m_library;
    std::unique_ptr<FT_FaceRec_, void (*)(FT_FaceRec_*)> m_face;
};

}  // namespace velorin::pictures
