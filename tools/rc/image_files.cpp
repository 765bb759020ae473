#include "image_files.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace velorin::rc {

namespace {
std::vector<std::uint8_t> readAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return u16(b, at) | (static_cast<std::uint32_t>(u16(b, at + 2)) << 16);
}

constexpr std::uint32_t kBiBitfields = 3;
}  // namespace

std::vector<std::uint8_t> readBitmapFile(const std::filesystem::path& file)
{
    const std::vector<std::uint8_t> b = readAll(file);
    const std::string name = file.filename().string();
    if (b.size() < 14 + 12 || b[0] != 'B' || b[1] != 'M')
        throw std::runtime_error(name + " is not a BMP file (no BM signature)");
    const std::uint32_t headerSize = u32(b, 14);
    if (headerSize != 12 && headerSize < 40)
        throw std::runtime_error(name + ": unknown bitmap header of " + std::to_string(headerSize) + " bytes");
    if (14 + static_cast<std::size_t>(headerSize) > b.size())
        throw std::runtime_error(name + " ends inside its bitmap header");

    // The resource keeps only what follows the file header, so the pixels must follow the
    // colour table directly: a loader finds them there, not through the file header's offset.
    std::size_t tableBytes = 0;
    if (headerSize == 12) {
        const std::uint16_t bits = u16(b, 14 + 10);
        tableBytes = bits <= 8 ? (std::size_t{1} << bits) * 3 : 0;
    } else {
        const std::uint16_t bits = u16(b, 14 + 14);
        const std::uint32_t compression = u32(b, 14 + 16);
        const std::uint32_t used = u32(b, 14 + 32);
        const std::size_t colours = used != 0 ? used : bits <= 8 ? (std::size_t{1} << bits) : 0;
        tableBytes = colours * 4 + (headerSize == 40 && compression == kBiBitfields ? 12 : 0);
    }
    const std::uint32_t offBits = u32(b, 10);
    if (offBits != 14 + headerSize + tableBytes)
        throw std::runtime_error(name + ": its pixels start at byte " + std::to_string(offBits) +
                                 ", not right after the colour table at byte " +
                                 std::to_string(14 + headerSize + tableBytes));
    if (offBits > b.size())
        throw std::runtime_error(name + " ends inside its colour table");
    return {b.begin() + 14, b.end()};
}

std::vector<IconFileImage> readIconFile(const std::filesystem::path& file)
{
    const std::vector<std::uint8_t> b = readAll(file);
    const std::string name = file.filename().string();
    if (b.size() < 6 || u16(b, 0) != 0)
        throw std::runtime_error(name + " is not an icon file");
    if (u16(b, 2) != 1)
        throw std::runtime_error(name + " is not an icon file (type " + std::to_string(u16(b, 2)) + ")");
    const std::size_t count = u16(b, 4);
    if (count == 0)
        throw std::runtime_error(name + " holds no images");
    if (6 + count * 16 > b.size())
        throw std::runtime_error(name + " ends inside its directory of " + std::to_string(count) + " images");

    std::vector<IconFileImage> images;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = 6 + i * 16;
        IconFileImage image;
        image.width = b[e];
        image.height = b[e + 1];
        image.colorCount = b[e + 2];
        image.reserved = b[e + 3];
        image.planes = u16(b, e + 4);
        image.bitCount = u16(b, e + 6);
        const std::uint32_t size = u32(b, e + 8);
        const std::uint32_t offset = u32(b, e + 12);
        if (offset > b.size() || size > b.size() - offset)
            throw std::runtime_error(name + ": image " + std::to_string(i + 1) + " lies outside the file");
        image.data.assign(b.begin() + offset, b.begin() + offset + size);
        // Directory entries often leave planes and depth 0; the image's own header is right.
        const bool png = size >= 4 && image.data[0] == 0x89 && image.data[1] == 'P';
        if (!png) {
            if (size < 40 || u32(image.data, 0) < 40)
                throw std::runtime_error(name + ": image " + std::to_string(i + 1) + " has no bitmap header");
            image.planes = u16(image.data, 12);
            image.bitCount = u16(image.data, 14);
        }
        images.push_back(std::move(image));
    }
    return images;
}

}  // namespace velorin::rc
