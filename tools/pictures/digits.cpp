// The digit strip: thin, smoothed, white glyphs of an outline font, the digits 0 to 9 in cells 19
// pixels wide and the smaller percent sign in a cell 22 wide. A pixel's grey rises with its
// coverage, so only uncovered pixels stay pure black, the colour the renderer leaves transparent.
#include "font_face.hpp"
#include "pictures.hpp"

#include <cmath>
#include <stdexcept>
#include <string>

namespace velorin::pictures {
namespace {

constexpr int kHeight = 30;
constexpr int kDigitCell = 19;
constexpr int kPercentCell = 22;

// Digits stand on row 26 and reach up to row 4, round ones overshooting by a fraction of a
// pixel at most; the percent sign is smaller, rows 11 to 25. Baselines are pixel edges.
constexpr double kDigitPixels = 30.2;
constexpr double kDigitBaseline = 26.45;
constexpr double kPercentPixels = 19.5;
constexpr double kPercentBaseline = 25.6;

// Strokes a pixel or so wide rarely cover a pixel whole; a text gamma lifts them to white.
constexpr double kGamma = 1.4;

std::uint8_t brightness(std::uint8_t coverage)
{
    if (coverage == 0) {
        return 0;
    }
    // Never 0 for a covered pixel: that would punch a transparent hole in the glyph.
    const double v = 255 * std::pow(coverage / 255.0, 1 / kGamma);
    return static_cast<std::uint8_t>(std::max(1L, std::lround(v)));
}

void place(Image& image, FontFace& face, char32_t c, double pixels, int cellLeft, int cellWidth, double baseline)
{
    // Centre the glyph's advance in its cell, as a monospaced setting of the font would, on a
    // baseline that may fall between pixel rows.
    const int rowBaseline = static_cast<int>(std::ceil(baseline));
    const double up = rowBaseline - baseline;
    const GlyphRaster probe = face.renderSmooth(c, pixels, 0, 0);
    const GlyphRaster glyph = face.renderSmooth(c, pixels, (cellWidth - probe.advance) / 2.0, up);
    const int left = cellLeft + glyph.left;
    const int top = rowBaseline - glyph.top;
    if (glyph.left < 0 || glyph.left + glyph.width > cellWidth || top < 0 || top + glyph.height > kHeight) {
        throw std::runtime_error("the glyph for '" + std::string(1, static_cast<char>(c)) + "' does not fit its cell");
    }
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            const std::uint8_t v = brightness(glyph.coverage[static_cast<std::size_t>(y * glyph.width + x)]);
            image.at(left + x, top + y) = {v, v, v};
        }
    }
}

}  // namespace

Image drawDigits(FontFace& face)
{
    Image image(10 * kDigitCell + kPercentCell, kHeight);
    for (int d = 0; d < 10; ++d) {
        place(image, face, static_cast<char32_t>('0' + d), kDigitPixels, d * kDigitCell, kDigitCell, kDigitBaseline);
    }
    place(image, face, U'%', kPercentPixels, 10 * kDigitCell, kPercentCell, kPercentBaseline);
    return image;
}

}  // namespace velorin::pictures
