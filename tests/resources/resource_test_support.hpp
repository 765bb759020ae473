// Helpers of the resource tests: hand-made bitmap and icon files, a scratch folder for scripts,
// and programs launched with a resource module.
#pragma once

#include "boot/device.hpp"
#include "windows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace velorin::test {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline std::uint32_t get32(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// A packed DIB with a BITMAPINFOHEADER, rows bottom-up (or top-down) padded to 4 bytes.
// `pixel(x, y)` is a palette index up to 8 bits, 0xRRGGBB at 24 and 32 bits. An icon image
// doubles the stored height and appends an all-zero (opaque) mask.
struct DibSpec {
    int width = 1;
    int height = 1;
    int bits = 24;
    std::vector<std::uint32_t> palette;  // 0xRRGGBB
    std::function<std::uint32_t(int, int)> pixel = [](int, int) { return 0u; };
    bool topDown = false;
    bool icon = false;
};

inline Bytes makeDib(const DibSpec& s)
{
    Bytes b;
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(s.width));
    const int storedHeight = s.icon ? s.height * 2 : s.height;
    put32(b, static_cast<std::uint32_t>(s.topDown ? -storedHeight : storedHeight));
    put16(b, 1);
    put16(b, static_cast<std::uint32_t>(s.bits));
    put32(b, 0);  // BI_RGB
    put32(b, 0);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, static_cast<std::uint32_t>(s.palette.size()));
    put32(b, 0);
    for (std::uint32_t c : s.palette)
        put32(b, c);  // RGBQUAD: blue, green, red, 0 is 0x00RRGGBB little-endian
    const auto row = [&](int y, int bits, bool mask) {
        Bytes r((static_cast<std::size_t>(s.width) * static_cast<std::size_t>(bits) + 31) / 32 * 4, 0);
        for (int x = 0; x < s.width && !mask; ++x) {
            const std::uint32_t v = s.pixel(x, y);
            if (bits <= 8) {
                const std::size_t bit = static_cast<std::size_t>(x * bits);
                r[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bits - static_cast<int>(bit % 8)));
            } else {
                const std::size_t at = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits / 8);
                r[at] = static_cast<std::uint8_t>(v);
                r[at + 1] = static_cast<std::uint8_t>(v >> 8);
                r[at + 2] = static_cast<std::uint8_t>(v >> 16);
            }
        }
        b.insert(b.end(), r.begin(), r.end());
    };
    for (int i = 0; i < s.height; ++i)
        row(s.topDown ? i : s.height - 1 - i, s.bits, false);
    for (int i = 0; s.icon && i < s.height; ++i)
        row(i, 1, true);
    return b;
}

// A .bmp file: BITMAPFILEHEADER before the DIB, the pixels right after the colour table.
inline Bytes bmpFile(const Bytes& dib)
{
    Bytes b{'B', 'M'};
    put32(b, static_cast<std::uint32_t>(14 + dib.size()));
    put32(b, 0);
    put32(b, 14 + 40 + get32(dib, 32) * 4);
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

// An .ico file of icon images (DIBs made with `icon`); directory planes and depth are left 0,
// as many files leave them.
inline Bytes icoFile(const std::vector<DibSpec>& images)
{
    Bytes b;
    put16(b, 0);
    put16(b, 1);
    put16(b, static_cast<std::uint32_t>(images.size()));
    std::vector<Bytes> dibs;
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const DibSpec& s : images) {
        dibs.push_back(makeDib(s));
        b.push_back(static_cast<std::uint8_t>(s.width));
        b.push_back(static_cast<std::uint8_t>(s.height));
        b.push_back(static_cast<std::uint8_t>(s.bits <= 8 ? (1u << s.bits) & 0xFF : 0));
        b.push_back(0);
        put16(b, 0);
        put16(b, 0);
        put32(b, static_cast<std::uint32_t>(dibs.back().size()));
        put32(b, offset);
        offset += static_cast<std::uint32_t>(dibs.back().size());
    }
    for (const Bytes& d : dibs)
        b.insert(b.end(), d.begin(), d.end());
    return b;
}

inline DibSpec iconSpec(int size, int bits)
{
    DibSpec s;
    s.width = s.height = size;
    s.bits = bits;
    s.icon = true;
    if (bits <= 8)
        s.palette.assign(std::size_t{1} << bits, 0x123456);
    return s;
}

// A scratch folder of its own for each test, removed afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velorin-res-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch folder");
        m_path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path write(const std::string& name, std::string_view text) const
    {
        return write(name, Bytes(text.begin(), text.end()));
    }
    std::filesystem::path write(const std::string& name, const Bytes& bytes) const
    {
        const std::filesystem::path file = m_path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path m_path;
};

// Runs `body` as the main thread of a program with the resource module `res`; returns once the
// program has ended.
template <class Body>
void runWithResources(platform::Device& device, std::span<const std::uint8_t> res, Body body,
                      std::string name = "program")
{
    const auto pid = device.launch(
        std::move(name),
        [body = std::move(body)]() mutable {
            body();
            return 0;
        },
        res);
    for (int step = 0; device.running(pid) && step < 1000; ++step)
        device.runFor(1000);
    EXPECT_FALSE(device.running(pid)) << "the program never ended";
}

inline bool hasLine(platform::Device& device, const std::string& line)
{
    const auto& lines = device.trace().lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace velorin::test
