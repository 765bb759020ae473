// The icon group: nine images, each a valid DIB with its palette and AND mask, all of one motif.
#include "picture_files.hpp"

#include <gtest/gtest.h>

#include <set>

namespace velorin::pictures::test {
namespace {

TEST(Icon, HoldsNineImagesAt48_32And16PixelsAnd4_8And24Bits)
{
    const std::vector<IconEntry> icon = readIco(resourceDir() / "velorin.ico");
    std::set<std::pair<int, int>> kinds;
    for (const IconEntry& e : icon) {
        kinds.insert({e.size, e.bitsPerPixel});
        EXPECT_EQ(e.paletteColours, e.bitsPerPixel == 24 ? 0 : 1 << e.bitsPerPixel);
    }
    const std::set<std::pair<int, int>> expected = {{48, 4},  {48, 8}, {48, 24}, {32, 4}, {32, 8},
                                                    {32, 24}, {16, 4}, {16, 8},  {16, 24}};
    EXPECT_EQ(icon.size(), 9u);
    EXPECT_EQ(kinds, expected);
}

TEST(Icon, EveryImageShowsTheGreenBatteryOnATransparentGround)
{
    const std::vector<IconEntry> icon = readIco(resourceDir() / "velorin.ico");
    for (const IconEntry& e : icon) {
        SCOPED_TRACE(std::to_string(e.size) + " px, " + std::to_string(e.bitsPerPixel) + " bits");
        const int n = e.size;
        int green = 0, white = 0, opaque = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const Rgb& c = e.colour.at(x, y);
                if (e.masked[static_cast<std::size_t>(y * n + x)]) {
                    // Black under the mask leaves the screen as it is.
                    EXPECT_TRUE(c.black()) << x << "," << y;
                    continue;
                }
                ++opaque;
                green += c.g > c.r + 40 && c.g > c.b + 40 ? 1 : 0;
                white += c.r > 220 && c.g > 220 && c.b > 220 ? 1 : 0;
            }
        }
        EXPECT_TRUE(e.masked[0] && e.masked[static_cast<std::size_t>(n * n - 1)]) << "corners not transparent";
        EXPECT_FALSE(e.masked[static_cast<std::size_t>(n / 2 * n + n / 2)]) << "centre not opaque";
        EXPECT_GT(opaque, n * n / 3);
        EXPECT_GT(green, n * n / 10);
        EXPECT_GT(white, n * n / 40) << "no bolt";
    }
}

TEST(Icon, DepthsOfOneSizeShareTheirMask)
{
    const std::vector<IconEntry> icon = readIco(resourceDir() / "velorin.ico");
    for (const IconEntry& a : icon) {
        for (const IconEntry& b : icon) {
            if (a.size == b.size) {
                EXPECT_EQ(a.masked, b.masked) << a.size << " px at " << a.bitsPerPixel << " and " << b.bitsPerPixel;
            }
        }
    }
}

}  // namespace
}  // namespace velorin::pictures::test
