// The device's UI font: the committed file as embedded, its glyphs and metrics, and the reader's
// refusal of damaged or inconsistent files.
#include "picture_files.hpp"

#include "resources/ui_font.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

extern const std::uint8_t velorin_ui_font[];
extern const std::size_t velorin_ui_font_size;

namespace velorin::pictures::test {
namespace {

using resources::Glyph;
using resources::UiFont;

std::vector<std::uint8_t> committedFont()
{
    return readBytes(fontDir() / "ui_font.bin");
}

TEST(UiFont, EmbeddedBytesAreTheCommittedFile)
{
    const std::vector<std::uint8_t> file = committedFont();
    ASSERT_EQ(velorin_ui_font_size, file.size());
    EXPECT_TRUE(std::equal(file.begin(), file.end(), velorin_ui_font));
}

TEST(UiFont, HasEveryPrintableAsciiGlyphWithinTheLine)
{
    const UiFont& font = UiFont::system();
    for (char32_t c = 0x20; c <= 0x7E; ++c) {
        const Glyph* g = font.glyph(c);
        ASSERT_NE(g, nullptr) << "U+" << std::hex << static_cast<unsigned>(c);
        EXPECT_EQ(g->coverage.size(), static_cast<std::size_t>(g->width * g->height));
        EXPECT_GT(g->advance, 0);
        EXPECT_LE(g->advance, 2 * font.pixelSize());
        if (g->height > 0) {
            EXPECT_LE(g->top, font.ascent()) << static_cast<char>(c);
            EXPECT_LE(g->height - g->top, font.descent()) << static_cast<char>(c);
            EXPECT_GT(*std::max_element(g->coverage.begin(), g->coverage.end()), 96) << static_cast<char>(c);
        }
    }
    const Glyph* space = font.glyph(U' ');
    EXPECT_EQ(space->width * space->height, 0);
    // Anti-aliased, not a bitmap font.
    const Glyph* o = font.glyph(U'O');
    EXPECT_TRUE(std::any_of(o->coverage.begin(), o->coverage.end(), [](int v) { return v > 0 && v < 255; }));
    EXPECT_EQ(font.glyph(U'\u4E00'), nullptr);
}

TEST(UiFont, MetricsAreThoseOfAnEightPointDialogFont)
{
    const UiFont& font = UiFont::system();
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_EQ(font.lineHeight(), 13);
    EXPECT_EQ(font.ascent() + font.descent(), font.lineHeight());
    EXPECT_GE(font.descent(), 2);
    // Pinned: dialog layouts in dialog units depend on it.
    EXPECT_EQ(font.averageCharWidth(), 6);
    // Proportional: an i is narrower than an m.
    EXPECT_LT(font.glyph(U'i')->advance, font.glyph(U'm')->advance);
}

TEST(UiFont, TextWidthAddsAdvancesAndCountsUnknownCharactersAsQuestionMarks)
{
    const UiFont& font = UiFont::system();
    int dismiss = 0;
    for (wchar_t c : std::wstring_view(L"Dismiss")) {
        dismiss += font.glyph(static_cast<char32_t>(c))->advance;
    }
    EXPECT_EQ(font.textWidth(L"Dismiss"), dismiss);
    EXPECT_EQ(font.textWidth(L""), 0);
    EXPECT_EQ(font.textWidth(L"a\u4E00b"), font.textWidth(L"a?b"));
}

// Header fields and the first glyph record of version 1, as the reader's header documents.
struct Layout {
    std::size_t table;
    std::size_t coverage;
};

Layout layoutOf(const std::vector<std::uint8_t>& f)
{
    const std::size_t name = f[20] | f[21] << 8;
    const std::size_t count = f[14] | f[15] << 8;
    return {24 + name, 24 + name + 16 * count};
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A deliberate change that keeps the checksum right, to reach the structural checks.
void resign(std::vector<std::uint8_t>& f)
{
    const std::uint32_t crc = crc32(f.data(), f.size() - 4);
    for (int k = 0; k < 4; ++k) {
        f[f.size() - 4 + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(crc >> (8 * k));
    }
}

void expectRefused(const std::vector<std::uint8_t>& bytes, const std::string& reason)
{
    try {
        UiFont::parse(bytes, "damaged.bin");
        ADD_FAILURE() << "accepted; expected: " << reason;
    } catch (const std::runtime_error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("damaged.bin: offset "), std::string::npos) << message;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
}

TEST(UiFont, RefusesDamagedOrInconsistentFiles)
{
    const std::vector<std::uint8_t> good = committedFont();
    ASSERT_NO_THROW(UiFont::parse(good));
    const Layout at = layoutOf(good);

    expectRefused({good.begin(), good.begin() + 20}, "too short");
    expectRefused({good.begin(), good.end() - 1}, "where the header promises");

    auto f = good;
    f[0] = 'X';
    expectRefused(f, "magic");

    f = good;
    f[4] = 2;
    expectRefused(f, "version 2");

    f = good;
    f[at.coverage + 100] ^= 0x40;
    expectRefused(f, "checksum");

    f = good;
    f[12] = 5;  // line height below ascent + descent
    resign(f);
    expectRefused(f, "metrics");

    f = good;
    const std::size_t second = at.table + 16;
    std::copy(f.begin() + static_cast<std::ptrdiff_t>(at.table), f.begin() + static_cast<std::ptrdiff_t>(at.table + 4),
              f.begin() + static_cast<std::ptrdiff_t>(second));
    resign(f);
    expectRefused(f, "must increase");

    f = good;
    f[at.table + 15] = 0x7F;  // coverage offset far past the block
    resign(f);
    expectRefused(f, "run past the coverage block");
}

}  // namespace
}  // namespace velorin::pictures::test
