// Fills and unscaled copies, opaque and keyed, against a pixel-by-pixel reference: every row
// width from 1 pixel past two blocks, clipping at each edge of both pictures, the key at a
// row's ends, and a copy within one picture whose source and destination overlap.
#include "gdi/keyed_rows.hpp"
#include "gdi/raster.hpp"
#include "gdi/row_ops.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <utility>
#include <vector>

namespace velorin::test {
namespace {

using gdi::Rgb;
using gdi::Surface;

constexpr Rgb kKey = 0x000000;

// Pixels of a few colours, the key among them, so that keyed and opaque pixels both come in
// runs of every length.
Surface noise(int width, int height, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Surface surface(width, height);
    for (Rgb& pixel : surface.pixels()) {
        const auto pick = rng() % 4;
        pixel = pick == 0 ? 0x00FF0000u + rng() % 256 : pick == 1 ? 0x0000FF00u + rng() % 256 : kKey;
    }
    return surface;
}

// What a copy means, one pixel at a time: `from`'s pixel at the same offset as each pixel of
// `to`, where both lie inside their clips and pictures.
Surface referenceCopy(Surface dst, const RECT& dstClip, const RECT& to, const Surface& src, const RECT& srcClip,
                      const RECT& from, std::optional<Rgb> key)
{
    const Surface before = src;
    for (LONG y = to.top; y < to.bottom; ++y) {
        for (LONG x = to.left; x < to.right; ++x) {
            const LONG sx = x - to.left + from.left, sy = y - to.top + from.top;
            const bool inDst =
                x >= dstClip.left && x < dstClip.right && y >= dstClip.top && y < dstClip.bottom && dst.contains(x, y);
            const bool inSrc = sx >= srcClip.left && sx < srcClip.right && sy >= srcClip.top && sy < srcClip.bottom &&
                               before.contains(sx, sy);
            if (inDst && inSrc && (!key || before.pixel(sx, sy) != *key))
                dst.setPixel(x, y, before.pixel(sx, sy));
        }
    }
    return dst;
}

TEST(RasterRowsTest, FillRowSetsExactlyTheRowAtEveryWidth)
{
    for (const Rgb colour : {Rgb{0x000000}, Rgb{0x123456}}) {
        for (std::ptrdiff_t width = 0; width <= 35; ++width) {
            std::vector<Rgb> row(static_cast<std::size_t>(width) + 2, 0x00ABCDEFu);
            gdi::fillRow(row.data() + 1, width, colour);
            EXPECT_EQ(row.front(), 0x00ABCDEFu) << "width " << width;
            EXPECT_EQ(row.back(), 0x00ABCDEFu) << "width " << width;
            for (std::ptrdiff_t i = 1; i <= width; ++i)
                EXPECT_EQ(row[static_cast<std::size_t>(i)], colour) << "width " << width << " at " << i;
        }
    }
}

TEST(RasterRowsTest, KeyedRowMatchesThePixelByPixelRuleAtEveryWidth)
{
    for (std::ptrdiff_t width = 0; width <= 35; ++width) {
        for (std::uint32_t seed = 0; seed < 8; ++seed) {
            const Surface from = noise(static_cast<int>(width) + 2, 1, seed);
            std::vector<Rgb> to(from.pixels().size(), 0x00ABCDEFu);
            std::vector<Rgb> expected = to;
            // The key at both ends on some seeds, a picture colour there on others.
            std::vector<Rgb> in = from.pixels();
            if (seed % 2 == 0 && width > 0) {
                in[1] = kKey;
                in[static_cast<std::size_t>(width)] = kKey;
            }
            for (std::ptrdiff_t i = 1; i <= width; ++i)
                if (in[static_cast<std::size_t>(i)] != kKey)
                    expected[static_cast<std::size_t>(i)] = in[static_cast<std::size_t>(i)];
            gdi::copyRowKeyed(in.data() + 1, to.data() + 1, width, kKey);
            EXPECT_EQ(to, expected) << "width " << width << " seed " << seed;
        }
    }
}

// Both the 128-bit and the 256-bit rectangles, whichever the host would pick: each row of a few
// rows at every width past two wide blocks, with strides wider than the rows so that a block
// running past a row's end would show in the pixels between.
TEST(RasterRowsTest, KeyedRectanglesMatchThePixelByPixelRuleOnEveryPath)
{
    using Path = void (*)(const gdi::KeyedRows&, Rgb);
    std::vector<std::pair<const char*, Path>> paths{{"portable", &gdi::copyRowsKeyedPortable}};
    if (gdi::hostHasAvx2())
        paths.emplace_back("avx2", &gdi::copyRowsKeyedAvx2);
    constexpr std::ptrdiff_t kRows = 3;
    for (const auto& [name, path] : paths) {
        for (std::ptrdiff_t width = 0; width <= 35; ++width) {
            const std::ptrdiff_t stride = width + 5;
            const Surface from = noise(static_cast<int>(stride), kRows, static_cast<std::uint32_t>(width));
            std::vector<Rgb> to(from.pixels().size(), 0x00ABCDEFu);
            std::vector<Rgb> expected = to;
            for (std::ptrdiff_t y = 0; y < kRows; ++y)
                for (std::ptrdiff_t x = 1; x <= width; ++x) {
                    const auto at = static_cast<std::size_t>(y * stride + x);
                    if (from.pixels()[at] != kKey)
                        expected[at] = from.pixels()[at];
                }
            path({from.pixels().data() + 1, stride, to.data() + 1, stride, width, kRows}, kKey);
            EXPECT_EQ(to, expected) << name << " width " << width;
        }
    }
}

TEST(RasterRowsTest, FillAreaClipsAtEveryEdge)
{
    const RECT clip{2, 1, 28, 9};
    for (LONG left = -3; left <= 30; left += 3) {
        for (LONG width = 1; width <= 30; width += 2) {
            Surface surface = noise(30, 10, 7);
            Surface expected = surface;
            const RECT area{left, 0, left + width, 10};
            for (LONG y = 0; y < 10; ++y)
                for (LONG x = left; x < left + width; ++x)
                    if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom)
                        expected.setPixel(x, y, 0x00808080u);
            gdi::fillArea(surface, clip, area, 0x00808080u);
            EXPECT_EQ(surface, expected) << "left " << left << " width " << width;
        }
    }
}

TEST(RasterRowsTest, CopiesMatchThePixelByPixelRuleWithClippingAtEveryEdge)
{
    const Surface src = noise(26, 12, 1);
    const RECT srcClip{1, 1, 25, 11};
    const RECT dstClip{2, 0, 30, 9};
    for (const std::optional<Rgb> key : {std::optional<Rgb>{}, std::optional<Rgb>{kKey}}) {
        for (LONG width = 1; width <= 20; ++width) {
            for (const POINT at : {POINT{-4, -2}, POINT{0, 3}, POINT{3, 1}, POINT{22, 5}, POINT{27, -1}}) {
                for (const POINT from : {POINT{-3, 0}, POINT{0, -2}, POINT{5, 2}, POINT{20, 4}}) {
                    const Surface dst = noise(32, 10, 2);
                    const RECT to{at.x, at.y, at.x + width, at.y + 7};
                    const RECT part{from.x, from.y, from.x + width, from.y + 7};
                    Surface drawn = dst;
                    gdi::blit(drawn, dstClip, to, src, srcClip, part, key);
                    EXPECT_EQ(drawn, referenceCopy(dst, dstClip, to, src, srcClip, part, key))
                        << (key ? "keyed" : "opaque") << " width " << width << " to (" << at.x << ", " << at.y
                        << ") from (" << from.x << ", " << from.y << ")";
                }
            }
        }
    }
}

TEST(RasterRowsTest, ACopyWithinOnePictureReadsItAsItWasBefore)
{
    for (const std::optional<Rgb> key : {std::optional<Rgb>{}, std::optional<Rgb>{kKey}}) {
        for (LONG shift = -9; shift <= 9; ++shift) {
            for (LONG width : {1, 7, 8, 9, 17, 24}) {
                Surface picture = noise(40, 6, 3);
                const RECT whole = gdi::boundsOf(picture);
                const RECT from{10, 1, 10 + width, 5};
                const RECT to{10 + shift, 1 + shift % 2, 10 + shift + width, 5 + shift % 2};
                const Surface expected = referenceCopy(picture, whole, to, picture, whole, from, key);
                gdi::blit(picture, whole, to, picture, whole, from, key);
                EXPECT_EQ(picture, expected) << (key ? "keyed" : "opaque") << " shift " << shift << " width " << width;
            }
        }
    }
}

}  // namespace
}  // namespace velorin::test
