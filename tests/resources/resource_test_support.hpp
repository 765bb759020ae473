// Helpers of the resource tests: hand-made DIBs and .res files, and programs run with a resource
// module.
#pragma once

#include "../support/device_test_support.hpp"

#include <gtest/gtest.h>

#include <cstdint>
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

// A .res file as windres writes one: the empty entry, then each resource's 32-byte header
// (ordinal type and name) and its data, padded to a DWORD.
struct ResEntry {
    WORD type = 0;
    WORD name = 0;
    WORD memoryFlags = 0;
    WORD language = 0;
    DWORD dataVersion = 0;
    DWORD version = 0;
    DWORD characteristics = 0;
};

class ResFile {
public:
    ResFile() { add(ResEntry{}, {}); }

    ResFile& add(const ResEntry& e, const Bytes& data)
    {
        put32(m_bytes, static_cast<std::uint32_t>(data.size()));
        put32(m_bytes, 32);
        put16(m_bytes, 0xFFFF);
        put16(m_bytes, e.type);
        put16(m_bytes, 0xFFFF);
        put16(m_bytes, e.name);
        put32(m_bytes, e.dataVersion);
        put16(m_bytes, e.memoryFlags);
        put16(m_bytes, e.language);
        put32(m_bytes, e.version);
        put32(m_bytes, e.characteristics);
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
        while (m_bytes.size() % 4)
            m_bytes.push_back(0);
        return *this;
    }
    const Bytes& bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// Runs `body` as the main thread of a program with the resource module `res`; returns once the
// program has ended.
template <class Body>
void runWithResources(Device& device, std::span<const std::uint8_t> res, Body body, std::string name = "program")
{
    runProgram(device, std::move(body), std::move(name), res);
}

}  // namespace velorin::test
