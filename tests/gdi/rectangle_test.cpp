// Rectangle and FillRect at the pixel: which edges they paint, with which pen and brush.
#include "gdi_test_support.hpp"

namespace velorin::test {
namespace {

using Rows = std::vector<std::string>;

class RectangleTest : public GdiTest {
protected:
    // Draws with `brush` selected (and `pen` when given) into a fresh 8 x 6 grey canvas.
    Rows draw(HGDIOBJ brush, HGDIOBJ pen, RECT r, int width = 8, int height = 6)
    {
        Canvas canvas(width, height);
        HGDIOBJ oldBrush = SelectObject(canvas.dc(), brush);
        HGDIOBJ oldPen = pen ? SelectObject(canvas.dc(), pen) : nullptr;
        EXPECT_TRUE(Rectangle(canvas.dc(), r.left, r.top, r.right, r.bottom));
        SelectObject(canvas.dc(), oldBrush);
        if (oldPen)
            SelectObject(canvas.dc(), oldPen);
        return picture(canvas.dc(), width, height);
    }
};

TEST_F(RectangleTest, DefaultPenBordersTheAreaUpToRightAndBottomMinusOne)
{
    HBRUSH red = CreateSolidBrush(kRed);
    EXPECT_EQ(draw(red, nullptr, RECT{1, 1, 6, 5}), (Rows{
                                                        "........",
                                                        ".kkkkk..",
                                                        ".krrrk..",
                                                        ".krrrk..",
                                                        ".kkkkk..",
                                                        "........",
                                                    }));
    // The erase of a frame: black brush, default pen, and exactly left..right-1, top..bottom-1
    // become black.
    HBRUSH black = CreateSolidBrush(kBlack);
    EXPECT_EQ(draw(black, nullptr, RECT{2, 1, 5, 4}), (Rows{
                                                          "........",
                                                          "..kkk...",
                                                          "..kkk...",
                                                          "..kkk...",
                                                          "........",
                                                          "........",
                                                      }));
    DeleteObject(red);
    DeleteObject(black);
    EXPECT_EQ(device.gdi().liveObjects(), 0u);
}

TEST_F(RectangleTest, PensAndBrushesOfEveryKind)
{
    HBRUSH red = CreateSolidBrush(kRed);
    // Without a pen the figure is one pixel smaller on the right and at the bottom.
    EXPECT_EQ(draw(red, GetStockObject(NULL_PEN), RECT{1, 1, 6, 5}), (Rows{
                                                                         "........",
                                                                         ".rrrr...",
                                                                         ".rrrr...",
                                                                         ".rrrr...",
                                                                         "........",
                                                                         "........",
                                                                     }));
    // The hollow brush leaves the inside alone.
    EXPECT_EQ(draw(GetStockObject(NULL_BRUSH), GetStockObject(WHITE_PEN), RECT{0, 0, 4, 4}), (Rows{
                                                                                                 "wwww....",
                                                                                                 "w..w....",
                                                                                                 "w..w....",
                                                                                                 "wwww....",
                                                                                                 "........",
                                                                                                 "........",
                                                                                             }));
    // A wider pen stays inside the rectangle.
    HPEN wide = CreatePen(PS_SOLID, 2, kGreen);
    EXPECT_EQ(draw(red, wide, RECT{0, 0, 7, 6}), (Rows{
                                                     "ggggggg.",
                                                     "ggggggg.",
                                                     "ggrrrgg.",
                                                     "ggrrrgg.",
                                                     "ggggggg.",
                                                     "ggggggg.",
                                                 }));
    // Pen and brush of one colour: the same as the border drawn round a hollow inside that is
    // filled afterwards, for a rectangle thinner than the pen's two borders, one off the
    // surface's edge and one as large as the surface.
    HBRUSH green = CreateSolidBrush(kGreen);
    for (const RECT r : {RECT{1, 1, 4, 6}, RECT{5, -2, 10, 3}, RECT{0, 0, 8, 6}}) {
        Canvas apart(8, 6);
        const HGDIOBJ oldBrush = SelectObject(apart.dc(), GetStockObject(NULL_BRUSH));
        const HGDIOBJ oldPen = SelectObject(apart.dc(), wide);
        EXPECT_TRUE(Rectangle(apart.dc(), r.left, r.top, r.right, r.bottom));
        const RECT inside{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
        FillRect(apart.dc(), &inside, green);
        SelectObject(apart.dc(), oldBrush);
        SelectObject(apart.dc(), oldPen);
        EXPECT_EQ(draw(green, wide, r), picture(apart.dc(), 8, 6))
            << "from (" << r.left << ", " << r.top << ") to (" << r.right << ", " << r.bottom << ")";
    }
    DeleteObject(green);
    EXPECT_EQ(CreatePen(3, 1, kGreen), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    DeleteObject(wide);
    DeleteObject(red);
}

TEST_F(RectangleTest, CornersInAnyOrderEmptyAreasAndTheSurfaceEdge)
{
    HBRUSH blue = CreateSolidBrush(kBlue);
    const Rows normal = draw(blue, nullptr, RECT{1, 1, 5, 4});
    EXPECT_EQ(draw(blue, nullptr, RECT{5, 4, 1, 1}), normal);
    EXPECT_EQ(draw(blue, nullptr, RECT{5, 1, 1, 4}), normal);
    // No height (the gauge's erase at level 10) or no width: nothing at all.
    const Rows untouched(6, "........");
    EXPECT_EQ(draw(blue, nullptr, RECT{1, 3, 6, 3}), untouched);
    EXPECT_EQ(draw(blue, nullptr, RECT{2, 0, 2, 6}), untouched);
    // Clipped to the bitmap on every side; the edges outside are simply not there.
    EXPECT_EQ(draw(blue, nullptr, RECT{-2, -2, 3, 3}, 4, 4), (Rows{
                                                                 "bbk.",
                                                                 "bbk.",
                                                                 "kkk.",
                                                                 "....",
                                                             }));
    EXPECT_EQ(draw(blue, nullptr, RECT{2, 2, 9, 9}, 4, 4), (Rows{
                                                               "....",
                                                               "....",
                                                               "..kk",
                                                               "..kb",
                                                           }));
    DeleteObject(blue);
}

TEST_F(RectangleTest, FillRectPaintsTheBrushOnlyAndRightAndBottomAreExclusive)
{
    Canvas canvas(6, 4);
    HBRUSH red = CreateSolidBrush(kRed);
    const RECT area{1, 1, 4, 3};
    EXPECT_TRUE(FillRect(canvas.dc(), &area, red));
    // An upside-down rectangle is empty, and the hollow brush paints nothing.
    const RECT upsideDown{5, 3, 4, 0};
    EXPECT_TRUE(FillRect(canvas.dc(), &upsideDown, red));
    const RECT all{0, 0, 6, 4};
    EXPECT_TRUE(FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
    EXPECT_EQ(picture(canvas.dc(), 6, 4), (Rows{
                                              "......",
                                              ".rrr..",
                                              ".rrr..",
                                              "......",
                                          }));
    EXPECT_FALSE(FillRect(canvas.dc(), nullptr, red));
    EXPECT_FALSE(FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_PEN))));
    DeleteObject(red);
}

}  // namespace
}  // namespace velorin::test
