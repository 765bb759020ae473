// Little-endian output for the file formats the generator writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace velorin::pictures {

class ByteWriter {
public:
    void u8(std::uint8_t v) { m_bytes.push_back(v); }
    void u16(std::uint16_t v)
    {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void u32(std::uint32_t v)
    {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void bytes(std::span<const std::uint8_t> b) { m_bytes.insert(m_bytes.end(), b.begin(), b.end()); }
    void text(std::string_view s) { m_bytes.insert(m_bytes.end(), s.begin(), s.end()); }

    std::size_t size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Writes the whole file or throws std::runtime_error naming it.
void writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace velorin::pictures
