// The device's readers of resource data: .res modules, dialog templates, bitmaps, icon groups.
#include "resource_test_support.hpp"
#include "resources/byte_reader.hpp"
#include "resources/dialog_template_parser.hpp"
#include "gdi/dib.hpp"
#include "resources/icon_group.hpp"
#include "resources/resource_module.hpp"

#include <gmock/gmock.h>

namespace velorin::test {
namespace {

using resources::ResourceFormatError;
using resources::ResourceKey;
using resources::ResourceModule;
using ::testing::HasSubstr;

Bytes twoResources()
{
    ResFile out;
    out.add(ResEntry{.type = 2, .name = 130, .memoryFlags = 0x30, .language = 0x409}, Bytes{1, 2, 3});
    const ResEntry dialog{
        .type = 5, .name = 102, .memoryFlags = 0x1030, .language = 0x409, .version = 7, .characteristics = 9};
    out.add(dialog, Bytes(8, 0xAB));
    return out.bytes();
}

std::string parseError(const Bytes& bytes)
{
    try {
        ResourceModule::parse(bytes, "test.res");
    } catch (const ResourceFormatError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(ResourceModule, ReadsEntriesAndFindsThemByOrdinalOrName)
{
    const ResourceModule module = ResourceModule::parse(twoResources());
    ASSERT_EQ(module.entries().size(), 2u);
    const auto* dialog = module.find(ResourceKey::of(resources::kRtDialog), ResourceKey::of(L"#102"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->memoryFlags, 0x1030);
    EXPECT_EQ(dialog->version, 7u);
    EXPECT_EQ(dialog->characteristics, 9u);
    EXPECT_EQ(module.data(*dialog).size(), 8u);
    const auto bitmap = module.data(*module.find(ResourceKey::of(WORD{2}), ResourceKey::of(WORD{130})));
    EXPECT_EQ(Bytes(bitmap.begin(), bitmap.end()), (Bytes{1, 2, 3}));  // the padding is not data
    EXPECT_EQ(module.find(ResourceKey::of(WORD{2}), ResourceKey::of(WORD{131})), nullptr);
    EXPECT_TRUE(module.hasType(ResourceKey::of(WORD{5})));
    EXPECT_FALSE(module.hasType(ResourceKey::of(WORD{3})));

    // A name given as text (as other compilers may write): its header is padded to a DWORD,
    // and the system finds it without regard to case.
    Bytes res = twoResources();
    put32(res, 2);
    put32(res, 8 + 4 + 10 + 2 + 16);
    put16(res, 0xFFFF);
    put16(res, 10);
    for (char16_t c : std::u16string(u"Logo"))
        put16(res, c);
    put16(res, 0);
    put16(res, 0);  // padding
    for (int i = 0; i < 4; ++i)
        put32(res, 0);
    res.insert(res.end(), {0x55, 0x66, 0, 0});
    const ResourceModule named = ResourceModule::parse(res);
    const auto* logo = named.find(ResourceKey::of(resources::kRtRcData), ResourceKey::of(L"LOGO"));
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(named.data(*logo)[1], 0x66);
}

TEST(ResourceModule, RefusesDamagedFilesNamingTheByte)
{
    const Bytes good = twoResources();
    Bytes headerless(good.begin() + 32, good.end());
    Bytes cut(good.begin(), good.end() - 6);
    Bytes badHeader = good;
    badHeader[32 + 4] = 36;
    Bytes tinyHeader = good;
    tinyHeader[32 + 4] = 12;
    Bytes stray = good;
    stray.insert(stray.end(), {1, 2, 3, 4, 5});

    EXPECT_EQ(parseError({}), "test.res, byte 0: empty file");
    EXPECT_THAT(parseError(headerless), HasSubstr("byte 0: not a resource file"));
    EXPECT_THAT(parseError(cut), HasSubstr("byte 68: the data of 8 bytes runs past the end"));
    EXPECT_THAT(parseError(badHeader), HasSubstr("byte 36: header size 36 does not match its fields (32 bytes)"));
    EXPECT_THAT(parseError(tinyHeader), HasSubstr("byte 36: header size 12 is out of range"));
    EXPECT_THAT(parseError(stray), HasSubstr("5 stray bytes after the last resource"));
}

TEST(DialogTemplateParser, EveryTruncationIsRefusedNeverOverread)
{
    // A DIALOGEX with a caption, a font and two items, as a resource compiler writes it.
    const std::vector<std::uint8_t> full = [] {
        Bytes b = {0x01, 0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0,   0, 0, 0, 0x40, 0x00, 0xC0, 0x80, 0x02, 0x00, 0,   0, 0, 0,
                   50,   0,    20,   0,    0, 0, 0, 0, 'T', 0, 0, 0, 8,    0,    0,    0,    0,    1,    'A', 0, 0, 0};
        for (int item = 0; item < 2; ++item) {
            while (b.size() % 4)
                b.push_back(0);
            Bytes i = {0, 0, 0, 0, 0, 0, 0,    0,    0,    0, 1,   0x50, 1,   0, 2, 0, 3, 0,
                       4, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0x80, 0, 'O', 0,    'K', 0, 0, 0, 0, 0};
            b.insert(b.end(), i.begin(), i.end());
        }
        return b;
    }();
    const auto t = resources::parseDialogTemplate(full);
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_EQ(t.items[1].text, L"OK");
    for (std::size_t size = 0; size < full.size(); ++size) {
        const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_THROW(resources::parseDialogTemplate(prefix, "t"), ResourceFormatError) << size << " bytes";
    }
    try {
        resources::parseDialogTemplate(Bytes(full.begin(), full.begin() + 32), "dialog template 9");
    } catch (const ResourceFormatError& e) {
        EXPECT_STREQ(e.what(), "dialog template 9, byte 30: the caption has no terminating zero");
    }
}

// A DIB header written field by field, for the depths and headers makeDib does not write.
Bytes dibHeader(std::uint32_t size, int width, int height, int planes, int bits, std::uint32_t compression,
                std::uint32_t used = 0)
{
    Bytes b;
    put32(b, size);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height));
    put16(b, static_cast<std::uint32_t>(planes));
    put16(b, static_cast<std::uint32_t>(bits));
    put32(b, compression);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, used);
    put32(b, 0);
    return b;
}

std::vector<gdi::Rgb> pixelsOf(const Bytes& dib)
{
    return gdi::decodeDib(dib, "test").pixels();
}

TEST(Dib, DecodesEveryDepthInRowOrder)
{
    // 1 bit, 9 pixels a row: the row spans two bytes and is padded to four.
    DibSpec one;
    one.width = 9;
    one.height = 2;
    one.bits = 1;
    one.palette = {0x000000, 0xFFFFFF};
    one.pixel = [](int x, int y) { return static_cast<std::uint32_t>((x + y) % 2); };
    const gdi::Surface s1 = gdi::decodeDib(makeDib(one), "one");
    ASSERT_EQ(s1.width(), 9);
    ASSERT_EQ(s1.height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(s1.pixel(x, y), (x + y) % 2 ? 0xFFFFFFu : 0u) << x << "," << y;

    DibSpec four;
    four.width = 3;
    four.height = 3;
    four.bits = 4;
    for (std::uint32_t i = 0; i < 16; ++i)
        four.palette.push_back(i * 0x10101);
    four.pixel = [](int x, int y) { return static_cast<std::uint32_t>(x + 3 * y); };
    const gdi::Surface s4 = gdi::decodeDib(makeDib(four), "four");
    EXPECT_EQ(s4.pixel(0, 0), 0u);
    EXPECT_EQ(s4.pixel(2, 1), 5u * 0x10101);
    EXPECT_EQ(s4.pixel(2, 2), 8u * 0x10101);

    // 8 bits with a short table: an index beyond it shows black.
    DibSpec eight;
    eight.width = 3;
    eight.bits = 8;
    eight.palette = {0x112233, 0x445566};
    eight.pixel = [](int x, int) { return x == 2 ? 200u : static_cast<std::uint32_t>(x); };
    EXPECT_EQ(pixelsOf(makeDib(eight)), (std::vector<gdi::Rgb>{0x112233, 0x445566, 0}));

    DibSpec deep;
    deep.width = 3;
    deep.height = 2;
    deep.pixel = [](int x, int y) {
        return gdi::rgb(static_cast<std::uint8_t>(x * 50), static_cast<std::uint8_t>(y * 100), 7);
    };
    const std::vector<gdi::Rgb> expected = {gdi::rgb(0, 0, 7),   gdi::rgb(50, 0, 7),   gdi::rgb(100, 0, 7),
                                            gdi::rgb(0, 100, 7), gdi::rgb(50, 100, 7), gdi::rgb(100, 100, 7)};
    EXPECT_EQ(pixelsOf(makeDib(deep)), expected);
    deep.topDown = true;
    EXPECT_EQ(pixelsOf(makeDib(deep)), expected);
    deep.topDown = false;
    deep.bits = 32;
    EXPECT_EQ(pixelsOf(makeDib(deep)), expected);

    // 16 bits: 5-5-5 without bit fields, 5-6-5 with them.
    Bytes rgb555 = dibHeader(40, 2, 1, 1, 16, 0);
    rgb555.insert(rgb555.end(), {0x00, 0x7C, 0x1F, 0x00});
    EXPECT_EQ(pixelsOf(rgb555), (std::vector<gdi::Rgb>{0xFF0000, 0x0000FF}));
    Bytes rgb565 = dibHeader(40, 2, 1, 1, 16, 3);
    for (std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
        put32(rgb565, mask);
    rgb565.insert(rgb565.end(), {0xE0, 0x07, 0x00, 0xF8});
    EXPECT_EQ(pixelsOf(rgb565), (std::vector<gdi::Rgb>{0x00FF00, 0xFF0000}));

    // BITMAPCOREHEADER: 16-bit sizes and three-byte colour entries.
    Bytes core;
    put32(core, 12);
    put16(core, 2);
    put16(core, 1);
    put16(core, 1);
    put16(core, 1);
    core.insert(core.end(), {0x00, 0x00, 0x00, 0x30, 0x20, 0x10});  // black, then rgb(0x10, 0x20, 0x30)
    core.insert(core.end(), {0x40, 0, 0, 0});                       // pixels 0 and 1
    EXPECT_EQ(pixelsOf(core), (std::vector<gdi::Rgb>{0x000000, 0x102030}));
}

TEST(Dib, RefusesWhatItCannotDecode)
{
    const auto error = [](const Bytes& dib) {
        try {
            gdi::decodeDib(dib, "bitmap 7");
        } catch (const ResourceFormatError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    Bytes rle = dibHeader(40, 1, 1, 1, 8, 1);
    rle.resize(rle.size() + 1024 + 4);
    Bytes planes = dibHeader(40, 1, 1, 2, 24, 0);
    planes.resize(planes.size() + 4);
    Bytes twoBits = dibHeader(40, 1, 1, 1, 2, 0);
    Bytes short24 = dibHeader(40, 4, 4, 1, 24, 0);
    short24.resize(short24.size() + 47);
    Bytes tooMany = dibHeader(40, 1, 1, 1, 8, 0, 300);
    Bytes odd = dibHeader(20, 1, 1, 1, 24, 0);
    Bytes empty = dibHeader(40, 0, 1, 1, 24, 0);

    EXPECT_EQ(error(rle), "bitmap 7, byte 16: compression 1 is not supported");
    EXPECT_EQ(error(planes), "bitmap 7, byte 12: 2 planes; a bitmap has 1");
    EXPECT_EQ(error(twoBits), "bitmap 7, byte 14: 2 bits per pixel is not supported");
    EXPECT_EQ(error(short24), "bitmap 7, byte 40: the pixels need 48 bytes, 47 are there");
    EXPECT_EQ(error(tooMany), "bitmap 7, byte 32: 300 colours in the table; 8 bits per pixel allow 256");
    EXPECT_EQ(error(odd), "bitmap 7, byte 0: unknown bitmap header of 20 bytes");
    EXPECT_EQ(error(empty), "bitmap 7, byte 4: size 0 x 1 is out of range");
    EXPECT_EQ(error(Bytes{40, 0}), "bitmap 7, byte 0: needs 4 more bytes, 2 left");
}

Bytes groupOf(const std::vector<std::pair<int, int>>& sizeAndBits)
{
    Bytes b = {0, 0, 1, 0};
    put16(b, static_cast<std::uint32_t>(sizeAndBits.size()));
    WORD id = 1;
    for (const auto& [size, bits] : sizeAndBits) {
        b.insert(b.end(), {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size), 0, 0});
        put16(b, 1);
        put16(b, static_cast<std::uint32_t>(bits));
        put32(b, 100);
        put16(b, id++);
    }
    return b;
}

TEST(IconGroup, ChoosesTheNearestSizeThenTheDeepestColourTheDisplayShows)
{
    const auto nine = resources::parseIconGroup(
        groupOf({{48, 4}, {48, 8}, {48, 24}, {32, 4}, {32, 8}, {32, 24}, {16, 4}, {16, 8}, {16, 24}}), "g");
    ASSERT_EQ(nine.size(), 9u);
    EXPECT_EQ(resources::chooseIconImage(nine, 32, 24).id, 6);
    EXPECT_EQ(resources::chooseIconImage(nine, 32, 16).id, 5);
    EXPECT_EQ(resources::chooseIconImage(nine, 20, 24).id, 9);
    EXPECT_EQ(resources::chooseIconImage(nine, 64, 4).id, 1);
    // Only deeper than the display: the shallowest of them.
    const auto deep = resources::parseIconGroup(groupOf({{32, 32}, {32, 24}}), "g");
    EXPECT_EQ(resources::chooseIconImage(deep, 32, 8).id, 2);
    // A stored 0 is 256 pixels.
    EXPECT_EQ(resources::parseIconGroup(groupOf({{0, 32}}), "g")[0].width, 256);

    Bytes cursorGroup = groupOf({{32, 8}});
    cursorGroup[2] = 2;
    EXPECT_THROW(resources::parseIconGroup(cursorGroup, "g"), ResourceFormatError);
    Bytes longer = groupOf({{32, 8}});
    longer.push_back(0);
    EXPECT_THROW(resources::parseIconGroup(longer, "g"), ResourceFormatError);
    EXPECT_THROW(resources::parseIconGroup(Bytes{0, 0, 1, 0, 0, 0}, "g"), ResourceFormatError);
}

}  // namespace
}  // namespace velorin::test
