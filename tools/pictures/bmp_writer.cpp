#include "bmp_writer.hpp"

#include "byte_writer.hpp"

#include <fstream>
#include <stdexcept>

namespace velorin::pictures {

void writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error(path.string() + ": cannot write the file");
    }
}

std::vector<std::uint8_t> encodeBmp(const Image& image)
{
    constexpr std::uint32_t kHeaders = 14 + 40;
    const auto rowBytes = static_cast<std::uint32_t>((image.width() * 3 + 3) / 4 * 4);
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(image.height());

    ByteWriter w;
    w.text("BM");
    w.u32(kHeaders + pixelBytes);
    w.u32(0);  // two reserved words
    w.u32(kHeaders);
    w.u32(40);
    w.i32(image.width());
    w.i32(image.height());  // positive: bottom-up
    w.u16(1);               // planes
    w.u16(24);
    w.u32(0);  // BI_RGB
    w.u32(pixelBytes);
    w.i32(2835);  // 72 dpi, as drawing programs write by default
    w.i32(2835);
    w.u32(0);
    w.u32(0);
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb& p = image.at(x, y);
            w.u8(p.b);
            w.u8(p.g);
            w.u8(p.r);
        }
        for (auto pad = static_cast<std::uint32_t>(image.width() * 3); pad < rowBytes; ++pad) {
            w.u8(0);
        }
    }
    return w.bytes();
}

}  // namespace velorin::pictures
