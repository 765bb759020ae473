// A DIB's header read and checked, then its rows decoded into a surface, whatever their depth,
// colour table or masks.
#include "gdi/dib.hpp"

#include "resources/byte_reader.hpp"

#include <array>
#include <bit>
#include <limits>
#include <vector>

namespace velorin::gdi {

namespace {
using resources::ByteReader;

constexpr DWORD kBiRgb = 0;
constexpr DWORD kBiBitfields = 3;
constexpr std::size_t kCoreHeader = 12;
constexpr std::size_t kInfoHeader = 40;
constexpr int kMaxSide = 1 << 15;

struct Masks {
    std::array<std::uint32_t, 3> rgb{};
};

// One colour channel of a pixel under its mask, scaled to 0..255.
std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255u / max);
}

std::size_t rowBytes(int width, int bitCount)
{
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
}

Masks readMasks(std::span<const std::uint8_t> dib, const DibInfo& info, const std::string& source)
{
    if (info.compression == kBiRgb) {
        if (info.bitCount == 16)
            return Masks{{0x7C00, 0x03E0, 0x001F}};
        return Masks{{0x00FF0000, 0x0000FF00, 0x000000FF}};
    }
    ByteReader in(dib, source);
    in.skip(kInfoHeader);  // the masks follow the 40-byte header, or are its next fields
    Masks m;
    for (auto& mask : m.rgb)
        mask = in.u32();
    return m;
}
}  // namespace

DibInfo readDibInfo(std::span<const std::uint8_t> dib, const std::string& source, DibUse use)
{
    ByteReader in(dib, source);
    DibInfo info;
    info.headerSize = in.u32();
    int planes = 0;
    std::size_t entryBytes = 4;
    std::uint32_t used = 0;
    if (info.headerSize == kCoreHeader) {
        info.width = in.u16();
        info.height = in.u16();
        planes = in.u16();
        info.bitCount = in.u16();
        entryBytes = 3;
    } else if (info.headerSize >= kInfoHeader) {
        info.width = in.i32();
        const std::int32_t height = in.i32();
        if (height == std::numeric_limits<std::int32_t>::min())
            in.failAt(8, "height out of range");
        info.topDown = height < 0;
        info.height = height < 0 ? -height : height;
        planes = in.u16();
        info.bitCount = in.u16();
        info.compression = in.u32();
        in.skip(12);  // image size, resolution
        used = in.u32();
        if (info.headerSize > in.size())
            in.failAt(0, "header of " + std::to_string(info.headerSize) + " bytes runs past the end");
    } else {
        in.failAt(0, "unknown bitmap header of " + std::to_string(info.headerSize) + " bytes");
    }
    if (info.width <= 0 || info.width > kMaxSide || info.height == 0 || info.height > kMaxSide)
        in.failAt(4, "size " + std::to_string(info.width) + " x " + std::to_string(info.height) + " is out of range");
    if (planes != 1)
        in.failAt(info.headerSize == kCoreHeader ? 8 : 12, std::to_string(planes) + " planes; a bitmap has 1");

    const int bits = info.bitCount;
    const bool indexed = bits == 1 || bits == 4 || bits == 8;
    if (!indexed && bits != 16 && bits != 24 && bits != 32)
        in.failAt(info.headerSize == kCoreHeader ? 10 : 14, std::to_string(bits) + " bits per pixel is not supported");
    const bool bitfields = info.compression == kBiBitfields && (bits == 16 || bits == 32);
    if (info.compression != kBiRgb && !bitfields)
        in.failAt(16, "compression " + std::to_string(info.compression) + " is not supported");
    if (info.topDown && info.compression != kBiRgb && info.compression != kBiBitfields)
        in.failAt(8, "a compressed bitmap cannot be top-down");

    const std::size_t maxColours = indexed ? std::size_t{1} << bits : 256;
    info.colours = used != 0 ? used : indexed ? maxColours : 0;
    if (info.colours > maxColours)
        in.failAt(32, std::to_string(info.colours) + " colours in the table; " + std::to_string(bits) +
                          " bits per pixel allow " + std::to_string(maxColours));
    const std::size_t masks = bitfields && info.headerSize == kInfoHeader ? 12 : 0;
    info.pixelOffset = info.headerSize + masks + info.colours * entryBytes;
    const auto rows = static_cast<std::size_t>(info.height);
    const std::size_t needed = use == DibUse::Bitmap
                                   ? rowBytes(info.width, bits) * rows
                                   : (rowBytes(info.width, bits) + rowBytes(info.width, 1)) * (rows / 2);
    if (info.pixelOffset > dib.size() || needed > dib.size() - info.pixelOffset)
        in.failAt(std::min(info.pixelOffset, dib.size()),
                  "the pixels need " + std::to_string(needed) + " bytes, " +
                      std::to_string(dib.size() - std::min(info.pixelOffset, dib.size())) + " are there");
    return info;
}

Surface decodeDib(std::span<const std::uint8_t> dib, const std::string& source)
{
    const DibInfo info = readDibInfo(dib, source);
    const std::size_t entryBytes = info.headerSize == kCoreHeader ? 3 : 4;
    std::vector<Rgb> palette;
    const std::size_t tableStart = info.pixelOffset - info.colours * entryBytes;
    for (std::size_t i = 0; i < info.colours; ++i) {
        const std::uint8_t* e = dib.data() + tableStart + i * entryBytes;
        palette.push_back(rgb(e[2], e[1], e[0]));
    }
    const Masks masks = info.bitCount == 16 || info.bitCount == 32 ? readMasks(dib, info, source) : Masks{};

    Surface out(info.width, info.height);
    const std::size_t stride = rowBytes(info.width, info.bitCount);
    for (int row = 0; row < info.height; ++row) {
        const std::uint8_t* p = dib.data() + info.pixelOffset + stride * static_cast<std::size_t>(row);
        const int y = info.topDown ? row : info.height - 1 - row;
        for (int x = 0; x < info.width; ++x) {
            Rgb colour = 0;
            switch (info.bitCount) {
            case 1:
            case 4:
            case 8: {
                const int bits = info.bitCount;
                const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits);
                const int shift = 8 - bits - static_cast<int>(bit % 8);
                const std::size_t index = (p[bit / 8] >> shift) & ((1u << bits) - 1);
                colour = index < palette.size() ? palette[index] : 0;  // beyond the table: black
                break;
            }
            case 16: {
                const std::uint32_t v = p[x * 2] | (p[x * 2 + 1] << 8);
                colour = rgb(channel(v, masks.rgb[0]), channel(v, masks.rgb[1]), channel(v, masks.rgb[2]));
                break;
            }
            case 24:
                colour = rgb(p[x * 3 + 2], p[x * 3 + 1], p[x * 3]);
                break;
            default: {
                const std::uint8_t* q = p + x * 4;
                const std::uint32_t v = q[0] | (q[1] << 8) | (q[2] << 16) | (static_cast<std::uint32_t>(q[3]) << 24);
                colour = rgb(channel(v, masks.rgb[0]), channel(v, masks.rgb[1]), channel(v, masks.rgb[2]));
                break;
            }
            }
            out.setPixel(x, y, colour);
        }
    }
    return out;
}

}  // namespace velorin::gdi
