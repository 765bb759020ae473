// Bounds-checked little-endian reads over the bytes of a resource, for the parsers of this
// area. A read past the end, or anything else wrong, throws ResourceFormatError naming the
// source, the byte offset and the problem.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace velorin::resources {

class ResourceFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ByteReader {
public:
    ByteReader(std::span<const std::uint8_t> bytes, std::string source) : m_bytes(bytes), m_source(std::move(source)) {}

    std::uint8_t u8() { return take(1)[0]; }
    std::uint16_t u16()
    {
        const auto b = take(2);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t u32()
    {
        const auto b = take(4);
        return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    // UTF-16 text up to its terminating zero, which is consumed.
    std::wstring sz(const char* what);
    std::span<const std::uint8_t> take(std::size_t count)
    {
        if (count > remaining())
            fail("needs " + std::to_string(count) + " more bytes, " + std::to_string(remaining()) + " left");
        const auto out = m_bytes.subspan(m_offset, count);
        m_offset += count;
        return out;
    }
    void skip(std::size_t count) { take(count); }
    // Moves to the next multiple of `alignment`, counted from the first byte.
    void align(std::size_t alignment)
    {
        const std::size_t pad = (alignment - m_offset % alignment) % alignment;
        skip(std::min(pad, remaining()));
    }

    std::size_t offset() const { return m_offset; }
    std::size_t remaining() const { return m_bytes.size() - m_offset; }
    std::size_t size() const { return m_bytes.size(); }
    const std::string& source() const { return m_source; }

    [[noreturn]] void fail(const std::string& problem) const { failAt(m_offset, problem); }
    [[noreturn]] void failAt(std::size_t offset, const std::string& problem) const
    {
        throw ResourceFormatError(m_source + ", byte " + std::to_string(offset) + ": " + problem);
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::string m_source;
    std::size_t m_offset = 0;
};

inline std::wstring ByteReader::sz(const char* what)
{
    const std::size_t start = m_offset;
    std::wstring out;
    for (;;) {
        if (remaining() < 2)
            failAt(start, std::string(what) + " has no terminating zero");
        const std::uint16_t unit = u16();
        if (unit == 0)
            return out;
        if (unit >= 0xD800 && unit < 0xDC00 && remaining() >= 2) {
            const std::size_t at = m_offset;
            const std::uint16_t low = u16();
            if (low >= 0xDC00 && low < 0xE000) {
                out += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
            m_offset = at;
        }
        out += static_cast<wchar_t>(unit);
    }
}

}  // namespace velorin::resources
