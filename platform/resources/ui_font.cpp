// Reading the UI font's file, checked by its sum, and the glyphs and widths of its text.
#include "resources/ui_font.hpp"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

// The bytes of platform/resources/fonts/ui_font.bin, linked in by embed_file (cmake/EmbedFile.cmake).
extern const std::uint8_t velorin_ui_font[];
extern const std::size_t velorin_ui_font_size;

namespace velorin::resources {
namespace {

constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 24;
constexpr std::size_t kGlyphRecordBytes = 16;
constexpr std::size_t kChecksumBytes = 4;

std::uint32_t crc32(std::span<const std::uint8_t> bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

std::string hex(std::uint32_t v)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(v));
    return buffer;
}

std::string codeName(char32_t c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

// Little-endian reads at known offsets; every failure names the source and the offset.
class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, std::string_view source) : m_bytes(bytes), m_source(source) {}

    [[noreturn]] void fail(std::size_t offset, const std::string& what) const
    {
        throw std::runtime_error(m_source + ": offset " + std::to_string(offset) + ": " + what);
    }

    std::uint8_t u8(std::size_t at) const { return m_bytes[at]; }
    std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(u8(at) | u8(at + 1) << 8); }
    std::int16_t i16(std::size_t at) const { return static_cast<std::int16_t>(u16(at)); }
    std::uint32_t u32(std::size_t at) const
    {
        return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::string m_source;
};

}  // namespace

UiFont UiFont::parse(std::span<const std::uint8_t> bytes, std::string_view source)
{
    const Reader in(bytes, source);
    if (bytes.size() < kHeaderBytes + kChecksumBytes) {
        in.fail(0, "only " + std::to_string(bytes.size()) + " bytes, too short for a UI font");
    }
    if (!std::equal(bytes.begin(), bytes.begin() + 4, "VUIF")) {
        in.fail(0, "not a UI font (no \"VUIF\" magic)");
    }
    if (const std::uint16_t version = in.u16(4); version != kVersion) {
        in.fail(4, "version " + std::to_string(version) + ", this reader knows version " + std::to_string(kVersion));
    }

    UiFont font;
    font.m_pixelSize = in.u16(6);
    font.m_ascent = in.i16(8);
    font.m_descent = in.i16(10);
    font.m_lineHeight = in.i16(12);
    const std::size_t count = in.u16(14);
    const std::size_t coverageBytes = in.u32(16);
    const std::size_t nameBytes = in.u16(20);
    const std::size_t expected = kHeaderBytes + nameBytes + kGlyphRecordBytes * count + coverageBytes + kChecksumBytes;
    if (bytes.size() != expected) {
        in.fail(bytes.size() < expected ? bytes.size() : expected,
                std::to_string(bytes.size()) + " bytes where the header promises " + std::to_string(expected));
    }
    const std::size_t checksumAt = expected - kChecksumBytes;
    if (const std::uint32_t stored = in.u32(checksumAt), computed = crc32(bytes.first(checksumAt));
        stored != computed) {
        in.fail(checksumAt, "checksum " + hex(stored) + " does not match the contents (" + hex(computed) + ")");
    }
    // Checked after the checksum, so that these name a file written wrong, not a damaged one.
    if (font.m_pixelSize == 0 || font.m_ascent <= 0 || font.m_descent < 0 ||
        font.m_lineHeight < font.m_ascent + font.m_descent) {
        in.fail(6, "metrics out of range (size " + std::to_string(font.m_pixelSize) + ", ascent " +
                       std::to_string(font.m_ascent) + ", descent " + std::to_string(font.m_descent) +
                       ", line height " + std::to_string(font.m_lineHeight) + ")");
    }
    if (count == 0) {
        in.fail(14, "no glyphs");
    }
    const std::size_t table = kHeaderBytes + nameBytes;
    const std::size_t coverage = table + kGlyphRecordBytes * count;
    font.m_codes.reserve(count);
    font.m_glyphs.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = table + kGlyphRecordBytes * i;
        const char32_t code = in.u32(at);
        if (!font.m_codes.empty() && code <= font.m_codes.back()) {
            in.fail(at, "glyph " + std::to_string(i) + " (" + codeName(code) + ") does not follow " +
                            codeName(font.m_codes.back()) + ": code points must increase");
        }
        Glyph g;
        g.advance = in.i16(at + 4);
        g.left = in.i16(at + 6);
        g.top = in.i16(at + 8);
        g.width = in.u8(at + 10);
        g.height = in.u8(at + 11);
        const std::size_t offset = in.u32(at + 12);
        const auto size = static_cast<std::size_t>(g.width * g.height);
        if (offset > coverageBytes || size > coverageBytes - offset) {
            in.fail(at + 12, "glyph " + codeName(code) + ": " + std::to_string(size) + " coverage bytes at " +
                                 std::to_string(offset) + " run past the coverage block (" +
                                 std::to_string(coverageBytes) + " bytes)");
        }
        const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(coverage + offset);
        g.coverage.assign(first, first + static_cast<std::ptrdiff_t>(size));
        font.m_codes.push_back(code);
        font.m_glyphs.push_back(std::move(g));
    }

    int letters = 0;
    for (char c = 'A'; c <= 'Z'; ++c) {
        letters += font.textWidth(std::wstring{static_cast<wchar_t>(c), static_cast<wchar_t>(c - 'A' + 'a')});
    }
    font.m_averageCharWidth = (letters / 26 + 1) / 2;
    return font;
}

const UiFont& UiFont::system()
{
    static const UiFont font = parse({velorin_ui_font, velorin_ui_font_size}, "platform/resources/fonts/ui_font.bin");
    return font;
}

const Glyph* UiFont::glyph(char32_t c) const
{
    const auto it = std::lower_bound(m_codes.begin(), m_codes.end(), c);
    if (it == m_codes.end() || *it != c) {
        return nullptr;
    }
    return &m_glyphs[static_cast<std::size_t>(it - m_codes.begin())];
}

int UiFont::textWidth(std::wstring_view text) const
{
    const Glyph* fallback = glyph(U'?');
    int width = 0;
    for (wchar_t c : text) {
        const Glyph* g = glyph(static_cast<char32_t>(c));
        if (g == nullptr) {
            g = fallback;
        }
        width += g != nullptr ? g->advance : 0;
    }
    return width;
}

}  // namespace velorin::resources
