#include "ico_writer.hpp"

#include "byte_writer.hpp"

#include <stdexcept>

namespace velorin::pictures {
namespace {

std::uint32_t rowBytes(int width, int bitsPerPixel)
{
    return static_cast<std::uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

std::vector<std::uint8_t> encodeImage(const IconImage& icon)
{
    const int n = icon.size;
    const int bpp = icon.bitsPerPixel;
    const std::size_t paletteSize = bpp == 24 ? 0 : std::size_t{1} << bpp;
    const auto pixelCount = static_cast<std::size_t>(n * n);
    if ((bpp != 4 && bpp != 8 && bpp != 24) || icon.palette.size() != paletteSize ||
        icon.transparent.size() != pixelCount || (bpp == 24 ? icon.pixels.size() : icon.indices.size()) != pixelCount) {
        throw std::logic_error("icon image " + std::to_string(n) + "x" + std::to_string(bpp) + " is inconsistent");
    }
    const std::uint32_t xorRow = rowBytes(n, bpp);
    const std::uint32_t andRow = rowBytes(n, 1);

    ByteWriter w;
    w.u32(40);
    w.i32(n);
    w.i32(2 * n);  // colour rows and mask rows together
    w.u16(1);
    w.u16(static_cast<std::uint16_t>(bpp));
    w.u32(0);  // BI_RGB
    w.u32((xorRow + andRow) * static_cast<std::uint32_t>(n));
    w.i32(0);
    w.i32(0);
    w.u32(0);
    w.u32(0);
    for (const Rgb& c : icon.palette) {
        w.u8(c.b);
        w.u8(c.g);
        w.u8(c.r);
        w.u8(0);
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(xorRow, 0);
        for (int x = 0; x < n; ++x) {
            const auto i = static_cast<std::size_t>(y * n + x);
            if (bpp == 24) {
                const Rgb& p = icon.pixels[i];
                row[static_cast<std::size_t>(3 * x)] = p.b;
                row[static_cast<std::size_t>(3 * x + 1)] = p.g;
                row[static_cast<std::size_t>(3 * x + 2)] = p.r;
            } else if (bpp == 8) {
                row[static_cast<std::size_t>(x)] = icon.indices[i];
            } else {
                row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(icon.indices[i] << (x % 2 ? 0 : 4));
            }
        }
        w.bytes(row);
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(andRow, 0);
        for (int x = 0; x < n; ++x) {
            if (icon.transparent[static_cast<std::size_t>(y * n + x)]) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        w.bytes(row);
    }
    return w.bytes();
}

}  // namespace

std::vector<std::uint8_t> encodeIco(const std::vector<IconImage>& images)
{
    std::vector<std::vector<std::uint8_t>> encoded;
    for (const IconImage& image : images) {
        encoded.push_back(encodeImage(image));
    }
    ByteWriter w;
    w.u16(0);
    w.u16(1);  // icon, not cursor
    w.u16(static_cast<std::uint16_t>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        w.u8(static_cast<std::uint8_t>(image.size));  // 256 would be written as 0
        w.u8(static_cast<std::uint8_t>(image.size));
        w.u8(image.bitsPerPixel == 4 ? 16 : 0);  // colour count; 0 for 256 and more
        w.u8(0);
        w.u16(1);  // planes
        w.u16(static_cast<std::uint16_t>(image.bitsPerPixel));
        w.u32(static_cast<std::uint32_t>(encoded[i].size()));
        w.u32(offset);
        offset += static_cast<std::uint32_t>(encoded[i].size());
    }
    for (const auto& e : encoded) {
        w.bytes(e);
    }
    return w.bytes();
}

}  // namespace velorin::pictures
