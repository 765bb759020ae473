// The five bitmaps of the charging display: sizes, black backgrounds, the cell layouts the
// renderer cuts them by, and the colours it relies on.
#include "picture_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

namespace velorin::pictures::test {
namespace {

Picture bitmap(const char* name)
{
    return readBmp(resourceDir() / "bitmaps" / name);
}

bool rowBlack(const Picture& p, int y)
{
    for (int x = 0; x < p.width; ++x) {
        if (!p.at(x, y).black()) {
            return false;
        }
    }
    return true;
}

// First and last non-black column of a row; {-1, -1} for a black row.
std::pair<int, int> inkSpan(const Picture& p, int y, int from = 0, int to = -1)
{
    if (to < 0) {
        to = p.width;
    }
    int first = -1, last = -1;
    for (int x = from; x < to; ++x) {
        if (!p.at(x, y).black()) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    return {first, last};
}

bool grey(const Rgb& c)
{
    return c.r == c.g && c.g == c.b;
}

TEST(Bitmaps, HaveTheSizesTheRendererCutsThemBy)
{
    const std::array<std::tuple<const char*, int, int>, 5> sizes = {{{"battery_full.bmp", 104, 216},
                                                                     {"battery_empty.bmp", 104, 216},
                                                                     {"charge_symbol.bmp", 56, 82},
                                                                     {"gauge.bmp", 11, 170},
                                                                     {"digits.bmp", 212, 30}}};
    for (const auto& [name, width, height] : sizes) {
        const Picture p = bitmap(name);
        EXPECT_EQ(p.width, width) << name;
        EXPECT_EQ(p.height, height) << name;
    }
}

TEST(Battery, BothPicturesShareTheOutlineAndDifferOnlyInTheBody)
{
    const Picture full = bitmap("battery_full.bmp");
    const Picture empty = bitmap("battery_empty.bmp");
    for (const Picture* p : {&full, &empty}) {
        for (int y : {0, 1, 2, 3, 4, 214, 215}) {
            EXPECT_TRUE(rowBlack(*p, y)) << "row " << y;
        }
    }
    for (int y = 0; y < 216; ++y) {
        for (int x = 0; x < 104; ++x) {
            // Same outline: a frame may cut from one to the other at any fifth.
            ASSERT_EQ(full.at(x, y).black(), empty.at(x, y).black()) << x << "," << y;
            if (y <= 21 || y >= 205) {
                ASSERT_EQ(full.at(x, y), empty.at(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(Battery, OutlineFollowsTheCell)
{
    const Picture full = bitmap("battery_full.bmp");
    // The terminal nub alone in its first rows, the full body width below, the base's last row.
    for (int y = 5; y <= 11; ++y) {
        const auto [first, last] = inkSpan(full, y);
        EXPECT_GE(first, 27) << "row " << y;
        EXPECT_LE(last, 75) << "row " << y;
    }
    EXPECT_EQ(inkSpan(full, 5), std::make_pair(29, 73));
    for (int y = 24; y <= 204; ++y) {
        EXPECT_EQ(inkSpan(full, y), std::make_pair(3, 99)) << "row " << y;
    }
    EXPECT_EQ(inkSpan(full, 213), std::make_pair(28, 75));
    for (int y = 0; y < 216; ++y) {
        const auto [first, last] = inkSpan(full, y);
        if (first >= 0) {
            EXPECT_GE(first, 3);
            EXPECT_LE(last, 99);
        }
    }
}

TEST(Battery, BodyIsGreenInTheFullPictureAndGreyInTheEmptyOne)
{
    const Picture full = bitmap("battery_full.bmp");
    const Picture empty = bitmap("battery_empty.bmp");
    int green = 0;
    for (int y = 0; y < 216; ++y) {
        for (int x = 0; x < 104; ++x) {
            const Rgb& f = full.at(x, y);
            const Rgb& e = empty.at(x, y);
            if (f == e) {
                continue;
            }
            // Where they differ, the full one is the greener (seam pixels mix in the metal)...
            EXPECT_GT(f.g - (f.r + f.b) / 2, e.g - (e.r + e.b) / 2) << x << "," << y;
            // ... and the empty one is grey.
            EXPECT_LE(std::max({e.r, e.g, e.b}) - std::min({e.r, e.g, e.b}), 16) << x << "," << y;
            green += f.g > f.r + 40 && f.g > f.b + 40 ? 1 : 0;
        }
    }
    // The body is most of the picture, not a stripe.
    EXPECT_GT(green, 90 * 160);
}

// Black pixels that the background cannot reach are holes the transparent colour would punch.
int enclosedBlackPixels(const Picture& p)
{
    std::vector<bool> reached(p.pixels.size(), false);
    std::vector<std::pair<int, int>> todo;
    for (int x = 0; x < p.width; ++x) {
        todo.insert(todo.end(), {{x, 0}, {x, p.height - 1}});
    }
    for (int y = 0; y < p.height; ++y) {
        todo.insert(todo.end(), {{0, y}, {p.width - 1, y}});
    }
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        if (x < 0 || y < 0 || x >= p.width || y >= p.height) {
            continue;
        }
        const auto i = static_cast<std::size_t>(y * p.width + x);
        if (reached[i] || !p.at(x, y).black()) {
            continue;
        }
        reached[i] = true;
        todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    int enclosed = 0;
    for (std::size_t i = 0; i < p.pixels.size(); ++i) {
        enclosed += p.pixels[i].black() && !reached[i] ? 1 : 0;
    }
    return enclosed;
}

TEST(ChargeSymbol, IsAWhiteBoltWithSmoothedEdgesAndNoTransparentHoles)
{
    const Picture bolt = bitmap("charge_symbol.bmp");
    int white = 0, edge = 0;
    for (int y = 0; y < bolt.height; ++y) {
        for (int x = 0; x < bolt.width; ++x) {
            const Rgb& c = bolt.at(x, y);
            if (c.black()) {
                continue;
            }
            EXPECT_TRUE(x >= 3 && x <= 52 && y >= 3 && y <= 78) << "ink outside the bounds at " << x << "," << y;
            EXPECT_TRUE(grey(c)) << x << "," << y;
            (c.r >= 224 ? white : edge) += 1;
        }
    }
    EXPECT_EQ(enclosedBlackPixels(bolt), 0);
    EXPECT_GT(white, 900);
    EXPECT_GT(edge, 60);  // smoothed, not a hard cut-out
    // It reaches across most of its bounds: the renderer centres the whole picture.
    EXPECT_LE(inkSpan(bolt, 3).first, 30);
    EXPECT_GE(inkSpan(bolt, 32).second, 48);
    EXPECT_NE(inkSpan(bolt, 78).first, -1);
}

TEST(Gauge, EachBandHoldsABlockOfExactlyItsColour)
{
    const std::array<Rgb, 10> colours = {{{97, 161, 68},
                                          {130, 169, 68},
                                          {158, 175, 67},
                                          {184, 178, 65},
                                          {205, 178, 65},
                                          {222, 176, 66},
                                          {211, 144, 53},
                                          {201, 111, 43},
                                          {192, 76, 36},
                                          {184, 26, 30}}};
    const Picture gauge = bitmap("gauge.bmp");
    for (int band = 0; band < 10; ++band) {
        int blockRows = 0;
        for (int y = 17 * band; y < 17 * band + 17; ++y) {
            const auto [first, last] = inkSpan(gauge, y);
            if (first < 0) {
                continue;
            }
            ++blockRows;
            EXPECT_EQ(first, 2) << "row " << y;
            EXPECT_EQ(last, 8) << "row " << y;
            for (int x = first; x <= last; ++x) {
                EXPECT_EQ(gauge.at(x, y), colours[static_cast<std::size_t>(band)]) << "band " << band << " row " << y;
            }
        }
        EXPECT_GE(blockRows, 12) << "band " << band;
        EXPECT_LE(blockRows, 15) << "band " << band;
        // Segments stay apart, so that a level shows as separate steps.
        EXPECT_TRUE(rowBlack(gauge, 17 * band) || rowBlack(gauge, 17 * band + 16)) << "band " << band;
    }
}

TEST(Digits, EachGlyphStaysInsideItsCell)
{
    const Picture digits = bitmap("digits.bmp");
    std::set<std::vector<Rgb>> shapes;
    for (int cell = 0; cell <= 10; ++cell) {
        const int left = 19 * cell;
        const int width = cell < 10 ? 19 : 22;
        int top = 30, bottom = -1, first = width, last = -1;
        std::vector<Rgb> shape;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < width; ++x) {
                const Rgb& c = digits.at(left + x, y);
                shape.push_back(c);
                if (!c.black()) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        shapes.insert(shape);
        SCOPED_TRACE(cell < 10 ? "digit " + std::to_string(cell) : std::string("percent sign"));
        // A blank column on each side: a glyph copied alone must not carry a neighbour's edge.
        EXPECT_GE(first, 1);
        EXPECT_LE(last, width - 2);
        EXPECT_LE(std::abs(first - (width - 1 - last)), 3) << "not centred";
        if (cell < 10) {
            EXPECT_GE(top, 3);
            EXPECT_LE(top, 5);
            EXPECT_GE(bottom, 25);
            EXPECT_LE(bottom, 27);
        } else {
            EXPECT_GE(top, 9);
            EXPECT_LE(top, 13);
            EXPECT_GE(bottom, 24);
            EXPECT_LE(bottom, 26);
        }
    }
    EXPECT_EQ(shapes.size(), 11u) << "two cells hold the same picture";
}

TEST(Digits, AreThinSmoothedWhiteWithNoTransparentHoleInTheInk)
{
    const Picture digits = bitmap("digits.bmp");
    int ink = 0, bright = 0, smoothed = 0;
    for (int y = 0; y < digits.height; ++y) {
        for (int x = 0; x < digits.width; ++x) {
            const Rgb& c = digits.at(x, y);
            if (c.black()) {
                // A pure black pixel walled in by ink on all four sides is a hole in a stroke.
                const bool walled = x > 0 && y > 0 && x + 1 < digits.width && y + 1 < digits.height &&
                                    !digits.at(x - 1, y).black() && !digits.at(x + 1, y).black() &&
                                    !digits.at(x, y - 1).black() && !digits.at(x, y + 1).black();
                EXPECT_FALSE(walled) << x << "," << y;
                continue;
            }
            ++ink;
            EXPECT_TRUE(grey(c)) << x << "," << y;
            bright += c.r >= 200 ? 1 : 0;
            smoothed += c.r < 200 ? 1 : 0;
        }
    }
    EXPECT_GT(bright, 200);
    EXPECT_GT(smoothed, 200);
    // Thin strokes: ink covers a small part of the strip.
    EXPECT_LT(ink, 212 * 30 / 4);
}

}  // namespace
}  // namespace velorin::pictures::test
