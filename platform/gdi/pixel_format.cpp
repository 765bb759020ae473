// The colour tables of 1-, 2-, 4- and 8-bit bitmaps, the nearest colour each holds, and pixel
// rows read in and brought back to their format.
#include "gdi/pixel_format.hpp"

#include <array>
#include <cstddef>
#include <span>

namespace velorin::gdi {

namespace {

constexpr std::array<Rgb, 2> kMonochrome{rgb(0, 0, 0), rgb(255, 255, 255)};
constexpr std::array<Rgb, 4> kGreys{rgb(0, 0, 0), rgb(128, 128, 128), rgb(192, 192, 192), rgb(255, 255, 255)};
constexpr std::array<Rgb, 16> kVga{
    rgb(0, 0, 0),       rgb(128, 0, 0),   rgb(0, 128, 0),   rgb(128, 128, 0), rgb(0, 0, 128),   rgb(128, 0, 128),
    rgb(0, 128, 128),   rgb(192, 192, 192), rgb(128, 128, 128), rgb(255, 0, 0), rgb(0, 255, 0),   rgb(255, 255, 0),
    rgb(0, 0, 255),     rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 255, 255)};

// The system's 20 static colours at both ends, a 6 x 6 x 6 cube after the first ten, and black
// in the 20 entries left.
std::array<Rgb, 256> makeDefaultPalette()
{
    std::array<Rgb, 256> palette{};
    constexpr std::array<Rgb, 10> low{rgb(0, 0, 0),       rgb(128, 0, 0),   rgb(0, 128, 0),
                                      rgb(128, 128, 0),   rgb(0, 0, 128),   rgb(128, 0, 128),
                                      rgb(0, 128, 128),   rgb(192, 192, 192), rgb(192, 220, 192),
                                      rgb(166, 202, 240)};
    constexpr std::array<Rgb, 10> high{rgb(255, 251, 240), rgb(160, 160, 164), rgb(128, 128, 128),
                                       rgb(255, 0, 0),     rgb(0, 255, 0),     rgb(255, 255, 0),
                                       rgb(0, 0, 255),     rgb(255, 0, 255),   rgb(0, 255, 255),
                                       rgb(255, 255, 255)};
    std::size_t next = 0;
    for (Rgb c : low)
        palette[next++] = c;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette[next++] = rgb(static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                                      static_cast<std::uint8_t>(b * 51));
    next = palette.size() - high.size();
    for (Rgb c : high)
        palette[next++] = c;
    return palette;
}

const std::array<Rgb, 256>& defaultPalette()
{
    static const std::array<Rgb, 256> palette = makeDefaultPalette();
    return palette;
}

std::span<const Rgb> colourTable(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
        return kMonochrome;
    case 2:
        return kGreys;
    case 4:
        return kVga;
    default:
        return defaultPalette();
    }
}

int channel(Rgb c, int shift)
{
    return static_cast<int>((c >> shift) & 0xFF);
}

// The first of the nearest entries, by the distance in RGB space.
Rgb nearestIn(std::span<const Rgb> table, Rgb colour)
{
    Rgb best = table.front();
    long bestDistance = -1;
    for (Rgb entry : table) {
        long distance = 0;
        for (int shift : {16, 8, 0}) {
            const long d = channel(entry, shift) - channel(colour, shift);
            distance += d * d;
        }
        if (bestDistance < 0 || distance < bestDistance) {
            best = entry;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

std::optional<int> bitmapDepth(unsigned bitsPerPixel)
{
    for (int depth : {1, 2, 4, 8, 16, 24, 32})
        if (bitsPerPixel <= static_cast<unsigned>(depth))
            return bitsPerPixel == 0 ? 4 : depth;
    return std::nullopt;
}

LONG bitmapRowBytes(int width, int bitsPerPixel)
{
    return static_cast<LONG>((static_cast<long long>(width) * bitsPerPixel + 15) / 16 * 2);
}

Rgb nearestColour(int bitsPerPixel, Rgb colour)
{
    switch (bitsPerPixel) {
    case 1:
        return nearestIn(kMonochrome, colour);
    case 2:
        return nearestIn(kGreys, colour);
    case 4:
        return nearestIn(kVga, colour);
    case 8:
        return nearestIn(defaultPalette(), colour);
    case 16:
        // Each channel's 5 bits widened again by repeating its top bits.
        return (colour & 0xF8F8F8) | ((colour >> 5) & 0x070707);
    default:
        return colour;
    }
}

Surface pixelsFromRows(int width, int height, int bitsPerPixel, const unsigned char* rows)
{
    Surface pixels(width, height);
    const auto stride = static_cast<std::size_t>(bitmapRowBytes(width, bitsPerPixel));
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = rows + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            const auto bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bitsPerPixel);
            const unsigned char* p = row + bit / 8;
            Rgb colour = 0;
            if (bitsPerPixel <= 8) {
                const int shift = 8 - bitsPerPixel - static_cast<int>(bit % 8);
                const auto index = static_cast<std::size_t>((p[0] >> shift) & ((1 << bitsPerPixel) - 1));
                colour = colourTable(bitsPerPixel)[index];
            } else if (bitsPerPixel == 16) {
                const unsigned word = p[0] | (p[1] << 8);
                const auto widen = [](unsigned five) { return static_cast<std::uint8_t>((five << 3) | (five >> 2)); };
                colour = rgb(widen((word >> 10) & 31), widen((word >> 5) & 31), widen(word & 31));
            } else {
                colour = rgb(p[2], p[1], p[0]);
            }
            pixels.setPixel(x, y, colour);
        }
    }
    return pixels;
}

void toFormat(Surface& pixels, int bitsPerPixel)
{
    if (isTrueColour(bitsPerPixel))
        return;
    // Drawings use few colours: the last one looked up is likely the next.
    Rgb lastIn = 0;
    Rgb lastOut = nearestColour(bitsPerPixel, 0);
    for (Rgb& p : pixels.pixels()) {
        if (p != lastIn) {
            lastIn = p;
            lastOut = nearestColour(bitsPerPixel, p);
        }
        p = lastOut;
    }
}

}  // namespace velorin::gdi
