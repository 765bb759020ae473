// BMP and ICO readers that check every header field and padding byte they pass, and the folders
// where the committed files lie.
#include "picture_files.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace velorin::pictures::test {
namespace {

struct Bytes {
    const std::vector<std::uint8_t>& data;
    std::string name;

    void need(bool ok, std::size_t offset, const std::string& what) const
    {
        if (!ok) {
            throw std::runtime_error(name + ": offset " + std::to_string(offset) + ": " + what);
        }
    }
    std::uint32_t u8(std::size_t at) const
    {
        need(at < data.size(), at, "past the end");
        return data[at];
    }
    std::uint32_t u16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
};

int rowBytes(int width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

}  // namespace

std::filesystem::path resourceDir()
{
    return VELORIN_RES_DIR;
}

std::filesystem::path fontDir()
{
    return VELORIN_FONT_DIR;
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error(path.string() + ": cannot open");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Picture readBmp(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> data = readBytes(path);
    const Bytes in{data, path.filename().string()};
    in.need(in.u8(0) == 'B' && in.u8(1) == 'M', 0, "no BM signature");
    in.need(in.u32(2) == data.size(), 2, "file size field");
    const std::uint32_t pixelsAt = in.u32(10);
    in.need(in.u32(14) == 40, 14, "not a BITMAPINFOHEADER");
    Picture p;
    p.width = in.i32(18);
    p.height = in.i32(22);
    in.need(p.width > 0 && p.height > 0, 18, "not a bottom-up bitmap of positive size");
    in.need(in.u16(26) == 1 && in.u16(28) == 24 && in.u32(30) == 0, 26, "not 24-bit BI_RGB");
    const int stride = rowBytes(p.width, 24);
    const std::size_t pixelBytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(p.height);
    in.need(pixelsAt == 54 && data.size() == 54 + pixelBytes, 10, "pixel data not right after the headers");
    in.need(in.u32(34) == 0 || in.u32(34) == pixelBytes, 34, "image size field");
    for (int y = 0; y < p.height; ++y) {
        const std::size_t row = pixelsAt + static_cast<std::size_t>((p.height - 1 - y) * stride);
        for (int x = 0; x < p.width; ++x) {
            const std::size_t at = row + static_cast<std::size_t>(3 * x);
            p.pixels.push_back(
                {static_cast<int>(data[at + 2]), static_cast<int>(data[at + 1]), static_cast<int>(data[at])});
        }
        for (std::size_t pad = row + static_cast<std::size_t>(3 * p.width); pad < row + stride; ++pad) {
            in.need(data[pad] == 0, pad, "row padding not zero");
        }
    }
    return p;
}

std::vector<IconEntry> readIco(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> data = readBytes(path);
    const Bytes in{data, path.filename().string()};
    in.need(in.u16(0) == 0 && in.u16(2) == 1, 0, "not an icon directory");
    const std::uint32_t count = in.u16(4);
    std::vector<IconEntry> entries;
    std::size_t expectedOffset = 6 + 16 * count;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * i;
        IconEntry entry;
        entry.size = static_cast<int>(in.u8(e));
        in.need(in.u8(e + 1) == in.u8(e), e, "icon not square");
        in.need(in.u8(e + 3) == 0 && in.u16(e + 4) == 1, e + 3, "reserved byte or planes");
        entry.bitsPerPixel = static_cast<int>(in.u16(e + 6));
        const std::uint32_t bytes = in.u32(e + 8);
        const std::uint32_t at = in.u32(e + 12);
        in.need(at == expectedOffset, e + 12, "images not packed in directory order");
        expectedOffset += bytes;

        const int n = entry.size;
        const int bits = entry.bitsPerPixel;
        in.need(in.u8(e + 2) == (bits == 4 ? 16u : 0u), e + 2, "colour count");
        in.need(in.u32(at) == 40 && in.i32(at + 4) == n && in.i32(at + 8) == 2 * n, at, "image header size");
        in.need(in.u16(at + 12) == 1 && static_cast<int>(in.u16(at + 14)) == bits && in.u32(at + 16) == 0, at + 12,
                "image header planes, depth or compression");
        entry.paletteColours = bits <= 8 ? 1 << bits : 0;
        const std::size_t paletteAt = at + 40;
        const std::size_t xorAt = paletteAt + 4 * static_cast<std::size_t>(entry.paletteColours);
        const std::size_t andAt = xorAt + static_cast<std::size_t>(rowBytes(n, bits) * n);
        in.need(andAt + static_cast<std::size_t>(rowBytes(n, 1) * n) == at + bytes, e + 8, "image byte count");
        entry.colour.width = entry.colour.height = n;
        for (int y = 0; y < n; ++y) {
            const std::size_t row = xorAt + static_cast<std::size_t>((n - 1 - y) * rowBytes(n, bits));
            const std::size_t maskRow = andAt + static_cast<std::size_t>((n - 1 - y) * rowBytes(n, 1));
            for (int x = 0; x < n; ++x) {
                std::size_t c = row + static_cast<std::size_t>(3 * x);
                if (bits == 8) {
                    c = paletteAt + 4 * in.u8(row + static_cast<std::size_t>(x));
                } else if (bits == 4) {
                    const std::uint32_t pair = in.u8(row + static_cast<std::size_t>(x / 2));
                    c = paletteAt + 4 * ((x % 2 ? pair : pair >> 4) & 15);
                }
                entry.colour.pixels.push_back(
                    {static_cast<int>(in.u8(c + 2)), static_cast<int>(in.u8(c + 1)), static_cast<int>(in.u8(c))});
                entry.masked.push_back((in.u8(maskRow + static_cast<std::size_t>(x / 8)) >> (7 - x % 8) & 1) != 0);
            }
        }
        entries.push_back(std::move(entry));
    }
    in.need(expectedOffset == data.size(), expectedOffset, "bytes after the last image");
    return entries;
}

}  // namespace velorin::pictures::test
