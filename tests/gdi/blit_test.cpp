// BitBlt and TransparentImage at the pixel: exact copies, clipping at every edge of both
// pictures, the transparent colour, and stretching.
#include "gdi_test_support.hpp"

namespace velorin::test {
namespace {

using Rows = std::vector<std::string>;

// A colour that tells where a source pixel came from.
constexpr COLORREF sourceColour(int x, int y)
{
    return RGB(static_cast<BYTE>(10 + x), static_cast<BYTE>(20 + y), 7);
}

// TransparentImage's source, a device context or a bitmap, as the HANDLE it takes.
template <class Handle> HANDLE source(Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

class BlitTest : public GdiTest {
protected:
    static constexpr int kSrcW = 5, kSrcH = 4, kDstW = 8, kDstH = 6;

    // A source canvas whose every pixel names its place.
    void paintSource(Canvas& source)
    {
        for (int y = 0; y < kSrcH; ++y)
            for (int x = 0; x < kSrcW; ++x)
                SetPixel(source.dc(), x, y, sourceColour(x, y));
    }

    // Checks every destination pixel: the source pixel that lands there when both exist,
    // the grey background otherwise.
    void expectCopy(HDC dst, POINT at, SIZE size, POINT from)
    {
        for (int y = 0; y < kDstH; ++y) {
            for (int x = 0; x < kDstW; ++x) {
                const int sx = from.x + x - at.x, sy = from.y + y - at.y;
                const bool copied = x >= at.x && x < at.x + size.cx && y >= at.y && y < at.y + size.cy && sx >= 0 &&
                                    sy >= 0 && sx < kSrcW && sy < kSrcH;
                EXPECT_EQ(GetPixel(dst, x, y), copied ? sourceColour(sx, sy) : kGrey)
                    << "at (" << x << ", " << y << ") for a copy to (" << at.x << ", " << at.y << ") from (" << from.x
                    << ", " << from.y << ")";
            }
        }
    }
};

TEST_F(BlitTest, BitBltCopiesExactlyAndIsClippedAtEveryEdgeOfBothPictures)
{
    struct Case {
        POINT at;
        POINT from;
    };
    const Case cases[] = {
        {{1, 1}, {0, 0}},    // wholly inside
        {{-2, 1}, {0, 0}},   // off the destination's left
        {{1, -3}, {0, 0}},   // off its top
        {{5, 1}, {0, 0}},    // off its right
        {{1, 4}, {0, 0}},    // off its bottom
        {{-1, -1}, {0, 0}},  // a corner
        {{6, 5}, {0, 0}},    // the other corner
        {{2, 1}, {-2, 0}},   // source off its left
        {{2, 1}, {0, -1}},   // off its top
        {{2, 1}, {3, 0}},    // off its right
        {{2, 1}, {0, 2}},    // off its bottom
        {{-3, -3}, {3, 2}},  // both at once
    };
    Canvas source(kSrcW, kSrcH);
    paintSource(source);
    for (const Case& c : cases) {
        Canvas dst(kDstW, kDstH);
        EXPECT_TRUE(BitBlt(dst.dc(), c.at.x, c.at.y, kSrcW, kSrcH, source.dc(), c.from.x, c.from.y, SRCCOPY));
        expectCopy(dst.dc(), c.at, SIZE{kSrcW, kSrcH}, c.from);
    }
    // A part of the picture, as the battery's lower half is drawn.
    Canvas dst(kDstW, kDstH);
    EXPECT_TRUE(BitBlt(dst.dc(), 3, 2, 4, 2, source.dc(), 1, 2, SRCCOPY));
    expectCopy(dst.dc(), POINT{3, 2}, SIZE{4, 2}, POINT{1, 2});
}

TEST_F(BlitTest, BitBltEdgeCases)
{
    Canvas source(kSrcW, kSrcH);
    paintSource(source);
    Canvas dst(kDstW, kDstH);
    // Zero height (a battery part at fill step 0 or 5) succeeds and draws nothing.
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, kSrcW, 0, source.dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 0, kSrcH, source.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(picture(dst.dc(), kDstW, kDstH), Rows(kDstH, "........"));
    // Any raster operation is taken: this one keeps the destination as it is.
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 2, source.dc(), 0, 0, 0x00AA0029));
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(BitBlt(dst.dc(), 1, 1, 2, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_TRUE(BitBlt(dst.dc(), 5, 1, 2, 1, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(picture(dst.dc(), kDstW, 3), (Rows{"........", ".kk..ww.", "........"}));

    // A copy within one picture reads it as it was before the copy began.
    Canvas strip(4, 1);
    SetPixel(strip.dc(), 0, 0, kRed);
    SetPixel(strip.dc(), 1, 0, kGreen);
    SetPixel(strip.dc(), 2, 0, kBlue);
    EXPECT_TRUE(BitBlt(strip.dc(), 1, 0, 3, 1, strip.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(picture(strip.dc(), 4, 1), (Rows{"rrgb"}));
}

TEST_F(BlitTest, TransparentImageLeavesTheDestinationWhereTheKeyColourIs)
{
    // A symbol on a black background, as the charge symbol and the digits are drawn.
    Canvas symbol(3, 3, kBlack);
    SetPixel(symbol.dc(), 1, 0, kWhite);
    SetPixel(symbol.dc(), 0, 1, kWhite);
    SetPixel(symbol.dc(), 1, 1, kRed);
    SetPixel(symbol.dc(), 2, 1, kWhite);
    SetPixel(symbol.dc(), 1, 2, kWhite);
    Canvas screen(6, 4, kBlue);
    EXPECT_TRUE(TransparentImage(screen.dc(), 2, 1, 3, 3, source(symbol.dc()), 0, 0, 3, 3, kBlack));
    const Rows expected{
        "bbbbbb",
        "bbbwbb",
        "bbwrwb",
        "bbbwbb",
    };
    EXPECT_EQ(picture(screen.dc(), 6, 4), expected);

    // The bitmap itself may be the source, and another key keeps black.
    Canvas again(6, 4, kBlue);
    EXPECT_TRUE(TransparentImage(again.dc(), 2, 1, 3, 3, source(symbol.bitmap()), 0, 0, 3, 3, kWhite));
    EXPECT_EQ(picture(again.dc(), 6, 4), (Rows{
                                             "bbbbbb",
                                             "bbkbkb",
                                             "bbbrbb",
                                             "bbkbkb",
                                         }));
    // A part of a strip, as a digit is cut from the digit strip, clipped at the edge.
    Canvas edge(6, 4, kBlue);
    EXPECT_TRUE(TransparentImage(edge.dc(), -1, 2, 2, 2, source(symbol.dc()), 1, 0, 2, 2, kBlack));
    EXPECT_EQ(picture(edge.dc(), 6, 4), (Rows{
                                            "bbbbbb",
                                            "bbbbbb",
                                            "bbbbbb",
                                            "wbbbbb",
                                        }));
}

TEST_F(BlitTest, TransparentImageStretchesByTheNearestPixelAndRefusesNegativeSizes)
{
    Canvas two(2, 2);
    SetPixel(two.dc(), 0, 0, kRed);
    SetPixel(two.dc(), 1, 0, kGreen);
    SetPixel(two.dc(), 0, 1, kBlack);
    SetPixel(two.dc(), 1, 1, kWhite);
    Canvas big(5, 4, kBlue);
    EXPECT_TRUE(TransparentImage(big.dc(), 0, 0, 4, 4, source(two.dc()), 0, 0, 2, 2, kBlack));
    EXPECT_EQ(picture(big.dc(), 5, 4), (Rows{
                                           "rrggb",
                                           "rrggb",
                                           "bbwwb",
                                           "bbwwb",
                                       }));
    Canvas small(2, 1, kBlue);
    EXPECT_TRUE(TransparentImage(small.dc(), 0, 0, 1, 1, source(big.dc()), 0, 0, 4, 4, kBlack));
    EXPECT_EQ(picture(small.dc(), 2, 1), (Rows{"wb"}));

    EXPECT_FALSE(TransparentImage(big.dc(), 0, 0, -2, 2, source(two.dc()), 0, 0, 2, 2, kBlack));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    HBRUSH brush = CreateSolidBrush(kRed);
    EXPECT_FALSE(TransparentImage(big.dc(), 0, 0, 2, 2, source(brush), 0, 0, 2, 2, kBlack));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DeleteObject(brush);
}

}  // namespace
}  // namespace velorin::test
