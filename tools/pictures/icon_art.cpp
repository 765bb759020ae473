// The icon: an upright green battery with a white bolt, outlined in dark grey so that it reads on
// any taskbar, at 48, 32 and 16 pixels, each at 4, 8 and 24 bits per pixel. Everything outside
// the outline is transparent through the AND mask.
#include "pictures.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace velorin::pictures {
namespace {

// The motif on a 48-unit grid, scaled to each size.
constexpr double kGrid = 48;
constexpr double kBodyLeft = 11, kBodyRight = 37, kBodyTop = 9, kBodyBottom = 46, kBodyCorner = 4;
constexpr double kNubLeft = 18, kNubRight = 30, kNubTop = 3;
constexpr double kOutline = 2.2;

const Colour kOutlineColour{40, 44, 48};
const Colour kMetal{190, 194, 200};
const Colour kGreen{44, 186, 60};
const Colour kBoltColour{255, 255, 255};

bool inRoundedBox(double x, double y, double left, double top, double right, double bottom, double r)
{
    if (x < left || x >= right || y < top || y >= bottom) {
        return false;
    }
    const double cx = std::clamp(x, left + r, right - r);
    const double cy = std::clamp(y, top + r, bottom - r);
    return std::hypot(x - cx, y - cy) <= r;
}

// The charge symbol's bolt, fitted into the body.
bool inBolt(double x, double y)
{
    constexpr double kScale = 0.40;
    constexpr double kSymbolCx = 27.75, kSymbolCy = 41;
    const double bx = (x - (kBodyLeft + kBodyRight) / 2) / kScale + kSymbolCx;
    const double by = (y - (kBodyTop + kBodyBottom) / 2 - 0.5) / kScale + kSymbolCy;
    return insidePolygon(boltOutline(), bx, by);
}

// Shading across the body like the big picture's cylinder: lighter left of the middle.
double across(double x)
{
    const double u = (x - (kBodyLeft + kBodyRight) / 2) / ((kBodyRight - kBodyLeft) / 2);
    return 0.72 + 0.38 * std::exp(-std::pow((u + 0.35) / 0.45, 2));
}

std::optional<Colour> shadeIcon(double x, double y, double outline)
{
    const bool body = inRoundedBox(x, y, kBodyLeft, kBodyTop, kBodyRight, kBodyBottom, kBodyCorner);
    const bool nub = inRoundedBox(x, y, kNubLeft, kNubTop, kNubRight, kBodyTop + kBodyCorner, 1.5);
    if (!body && !nub) {
        return std::nullopt;
    }
    const double o = outline;
    const bool bodyInner = inRoundedBox(x, y, kBodyLeft + o, kBodyTop + o, kBodyRight - o, kBodyBottom - o,
                                        std::max(0.5, kBodyCorner - o));
    const bool nubInner = inRoundedBox(x, y, kNubLeft + o, kNubTop + o, kNubRight - o, kBodyTop, 0.5);
    if (bodyInner) {
        return inBolt(x, y) ? kBoltColour : kGreen * across(x);
    }
    if (nubInner) {
        return kMetal * across(x);
    }
    return kOutlineColour;
}

std::array<Rgb, 16> windowsPalette()
{
    return {{{0, 0, 0},
             {128, 0, 0},
             {0, 128, 0},
             {128, 128, 0},
             {0, 0, 128},
             {128, 0, 128},
             {0, 128, 128},
             {192, 192, 192},
             {128, 128, 128},
             {255, 0, 0},
             {0, 255, 0},
             {255, 255, 0},
             {0, 0, 255},
             {255, 0, 255},
             {0, 255, 255},
             {255, 255, 255}}};
}

// The sixteen system colours, a 6 x 6 x 6 cube and a grey ramp between the cube's greys.
std::vector<Rgb> halftonePalette()
{
    const auto vga = windowsPalette();
    std::vector<Rgb> palette(vga.begin(), vga.end());
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                palette.push_back({static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
                                   static_cast<std::uint8_t>(51 * b)});
            }
        }
    }
    for (int i = 0; palette.size() < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(8 + 10 * i + i / 5);
        palette.push_back({v, v, v});
    }
    return palette;
}

// The sixteen-colour images keep to the colours of the motif, so that a blend of white and green
// does not come out teal.
constexpr std::array<std::size_t, 7> kMotifColours = {0, 2, 7, 8, 10, 15, 3};

std::uint8_t nearest(const std::vector<Rgb>& palette, const Rgb& c)
{
    std::vector<std::size_t> candidates;
    if (palette.size() == 16) {
        candidates.assign(kMotifColours.begin(), kMotifColours.end());
    } else {
        for (std::size_t i = 0; i < palette.size(); ++i) {
            candidates.push_back(i);
        }
    }
    std::size_t best = 0;
    long bestDistance = -1;
    for (std::size_t i : candidates) {
        const long dr = palette[i].r - c.r, dg = palette[i].g - c.g, db = palette[i].b - c.b;
        const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;  // green counts most to the eye
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::vector<IconImage> drawSize(int size)
{
    const double scale = size / kGrid;
    // At least one whole pixel of outline, however small the icon.
    const double outline = std::max(kOutline, 1.0 / scale);
    const CoverageImage art = renderWithCoverage(
        size, size, size <= 16 ? 1 : 8, [&](double x, double y) { return shadeIcon(x / scale, y / scale, outline); });

    std::vector<Rgb> truecolour;
    std::vector<bool> transparent;
    for (std::size_t i = 0; i < art.colour.size(); ++i) {
        const bool clear = art.coverage[i] < 0.5;
        transparent.push_back(clear);
        const Colour& c = art.colour[i];
        truecolour.push_back(clear ? Rgb{} : Rgb{toByte(c.r), toByte(c.g), toByte(c.b)});
    }

    std::vector<IconImage> images;
    for (int bits : {4, 8}) {
        IconImage image{size, bits, {}, {}, {}, transparent};
        if (bits == 4) {
            const auto vga = windowsPalette();
            image.palette.assign(vga.begin(), vga.end());
        } else {
            image.palette = halftonePalette();
        }
        for (std::size_t i = 0; i < truecolour.size(); ++i) {
            image.indices.push_back(transparent[i] ? 0 : nearest(image.palette, truecolour[i]));
        }
        images.push_back(std::move(image));
    }
    images.push_back(IconImage{size, 24, {}, {}, truecolour, transparent});
    return images;
}

}  // namespace

std::vector<IconImage> drawIcon()
{
    std::vector<IconImage> images;
    for (int size : {48, 32, 16}) {
        auto forSize = drawSize(size);
        images.insert(images.end(), forSize.begin(), forSize.end());
    }
    return images;
}

}  // namespace velorin::pictures
