// Little-endian output, as every structure of a .res file is laid out.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velorin::rc {

class ByteSink {
public:
    void u8(std::uint8_t v) { m_bytes.push_back(v); }
    void u16(std::uint16_t v)
    {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v)
    {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    // UTF-16 text and its terminating zero.
    void sz(const std::u16string& text)
    {
        for (char16_t c : text)
            u16(static_cast<std::uint16_t>(c));
        u16(0);
    }
    void bytes(std::span<const std::uint8_t> data) { m_bytes.insert(m_bytes.end(), data.begin(), data.end()); }
    // Zero bytes up to the next multiple of `alignment`.
    void align(std::size_t alignment)
    {
        while (m_bytes.size() % alignment != 0)
            m_bytes.push_back(0);
    }

    std::size_t size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& data() const { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

}  // namespace velorin::rc
