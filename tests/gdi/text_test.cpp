// Text in the UI font at the pixel: where glyphs land for each placement, line breaks, prefix
// marks, clipping, backgrounds and measurement. Expectations come from the font's own metrics,
// so a redrawn font keeps them true.
#include "gdi_test_support.hpp"

#include "resources/ui_font.hpp"

namespace velorin::test {
namespace {

using resources::UiFont;

constexpr int kW = 80, kH = 40;
constexpr gdi::Rgb kPaper = gdi::rgb(255, 255, 255);
constexpr gdi::Rgb kInk = gdi::rgb(0, 0, 0);

const UiFont& font()
{
    return UiFont::system();
}

int widthOf(std::wstring_view text)
{
    return font().textWidth(text);
}

// The DC's pixels as a surface.
gdi::Surface pixelsOf(HDC dc, int width = kW, int height = kH)
{
    gdi::Surface s(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.setPixel(x, y, gdi::fromColorRef(GetPixel(dc, x, y)));
    return s;
}

// `s` moved by (dx, dy), paper where nothing comes in.
gdi::Surface shifted(const gdi::Surface& s, int dx, int dy)
{
    gdi::Surface out(s.width(), s.height(), kPaper);
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.contains(x - dx, y - dy))
                out.setPixel(x, y, s.pixel(x - dx, y - dy));
    return out;
}

// Whether any pixel outside `r` differs from paper.
bool inkOutside(const gdi::Surface& s, const RECT& r)
{
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if ((x < r.left || x >= r.right || y < r.top || y >= r.bottom) && s.pixel(x, y) != kPaper)
                return true;
    return false;
}

class TextTest : public GdiTest {
protected:
    // DrawTextW in black on a white canvas, transparent background.
    gdi::Surface draw(std::wstring_view text, RECT area, UINT format)
    {
        Canvas canvas(kW, kH, kWhite);
        SetBkMode(canvas.dc(), TRANSPARENT);
        DrawTextW(canvas.dc(), text.data(), static_cast<int>(text.size()), &area, format);
        return pixelsOf(canvas.dc());
    }

    // The window manager's path: straight onto a surface.
    gdi::Surface chrome(std::wstring_view text, RECT area, UINT format, gdi::Rgb colour = kInk)
    {
        gdi::Surface s(kW, kH, kPaper);
        std::lock_guard lock(device.kernel().mutex());
        device.gdi().drawTextLocked(s, area, text, colour, format);
        return s;
    }
};

TEST_F(TextTest, AGlyphIsItsCoverageBlendedOverThePaperAtTheBaseline)
{
    const resources::Glyph* h = font().glyph(U'H');
    ASSERT_NE(h, nullptr);
    const gdi::Surface s = draw(L"H", RECT{3, 2, kW, kH}, DT_LEFT | DT_TOP);
    const int baseline = 2 + font().ascent();
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const int gx = x - 3 - h->left, gy = y - (baseline - h->top);
            const bool inBox = gx >= 0 && gy >= 0 && gx < h->width && gy < h->height;
            const int coverage = inBox ? h->coverage[static_cast<std::size_t>(gy * h->width + gx)] : 0;
            const int grey = static_cast<int>(s.pixel(x, y) & 0xFF);
            // Full coverage is the ink itself, none leaves the paper; between them, in between.
            if (coverage == 255)
                EXPECT_EQ(s.pixel(x, y), kInk) << x << "," << y;
            else if (coverage == 0)
                EXPECT_EQ(s.pixel(x, y), kPaper) << x << "," << y;
            else
                EXPECT_NEAR(grey, 255 - coverage, 1) << x << "," << y;
        }
    }
}

TEST_F(TextTest, PlacementMovesTheWholeTextByTheSpareRoom)
{
    const RECT area{0, 0, 70, 30};
    const int spareX = 70 - widthOf(L"Dismiss");
    const int spareY = 30 - font().lineHeight();
    const gdi::Surface left = draw(L"Dismiss", area, DT_LEFT | DT_SINGLELINE);
    EXPECT_EQ(draw(L"Dismiss", area, DT_CENTER | DT_SINGLELINE), shifted(left, spareX / 2, 0));
    EXPECT_EQ(draw(L"Dismiss", area, DT_RIGHT | DT_SINGLELINE), shifted(left, spareX, 0));
    EXPECT_EQ(draw(L"Dismiss", area, DT_CENTER | DT_VCENTER | DT_SINGLELINE), shifted(left, spareX / 2, spareY / 2));
    EXPECT_EQ(draw(L"Dismiss", area, DT_BOTTOM | DT_SINGLELINE), shifted(left, 0, spareY));
    // Vertical placement needs a single line, as on the system; the window manager's own text
    // centres several lines too.
    EXPECT_EQ(draw(L"Dismiss", area, DT_VCENTER), left);
    EXPECT_EQ(chrome(L"Dismiss", area, DT_VCENTER), shifted(left, 0, spareY / 2));
}

TEST_F(TextTest, LinesBreakAtNewlinesAndBetweenWordsThatDoNotFit)
{
    const RECT area{0, 0, kW, kH};
    const gdi::Surface one = draw(L"Close", area, DT_LEFT);
    const gdi::Surface two = draw(L"Dismiss\nClose", area, DT_LEFT);
    const gdi::Surface first = draw(L"Dismiss", area, DT_LEFT);
    // The second line is the word alone, one line lower.
    const gdi::Surface secondAlone = shifted(one, 0, font().lineHeight());
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const gdi::Rgb expected = y < font().lineHeight() ? first.pixel(x, y) : secondAlone.pixel(x, y);
            ASSERT_EQ(two.pixel(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(draw(L"Dismiss\r\nClose", area, DT_LEFT), two);
    EXPECT_EQ(draw(L"Dismiss\nClose", area, DT_LEFT | DT_SINGLELINE), draw(L"DismissClose", area, DT_LEFT));

    // Word breaks: a width that holds one word but not two.
    const int narrow = widthOf(L"Dismiss") + 2;
    EXPECT_EQ(draw(L"Dismiss Close", RECT{0, 0, narrow, kH}, DT_LEFT | DT_WORDBREAK),
              draw(L"Dismiss\nClose", RECT{0, 0, narrow, kH}, DT_LEFT));
    EXPECT_EQ(draw(L"Dismiss Close", RECT{0, 0, kW, kH}, DT_LEFT | DT_WORDBREAK),
              draw(L"Dismiss Close", RECT{0, 0, kW, kH}, DT_LEFT));

    Canvas canvas(kW, kH, kWhite);
    RECT calc{5, 5, 5 + narrow, 5};
    EXPECT_EQ(DrawTextW(canvas.dc(), L"Dismiss Close Dismiss", -1, &calc, DT_WORDBREAK | DT_CALCRECT),
              3 * font().lineHeight());
    EXPECT_EQ(calc.right, 5 + widthOf(L"Dismiss"));
    EXPECT_EQ(calc.bottom, 5 + 3 * font().lineHeight());
    EXPECT_EQ(pixelsOf(canvas.dc()), gdi::Surface(kW, kH, kPaper));  // measuring draws nothing
}

TEST_F(TextTest, PrefixMarksUnderlineTheNextLetterUnlessTurnedOff)
{
    const RECT area{2, 2, kW, kH};
    const gdi::Surface plain = draw(L"Close", area, DT_LEFT);
    const gdi::Surface marked = draw(L"&Close", area, DT_LEFT);
    const int underline = 2 + font().ascent() + 1;
    const int cWidth = widthOf(L"C");
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool onLine = y == underline && x >= 2 && x < 2 + cWidth;
            ASSERT_EQ(marked.pixel(x, y), onLine ? kInk : plain.pixel(x, y)) << x << "," << y;
        }
    EXPECT_EQ(draw(L"&&", area, DT_LEFT), draw(L"&", area, DT_LEFT | DT_NOPREFIX));
    EXPECT_EQ(draw(L"&Close", area, DT_LEFT | DT_NOPREFIX), draw(L"&&Close", area, DT_LEFT));
}

TEST_F(TextTest, TextIsClippedToItsRectangleUnlessToldNotTo)
{
    const RECT box{10, 5, 10 + widthOf(L"Dis"), 5 + font().lineHeight() / 2};
    EXPECT_FALSE(inkOutside(draw(L"Dismiss", box, DT_LEFT), box));
    EXPECT_TRUE(inkOutside(draw(L"Dismiss", box, DT_LEFT | DT_NOCLIP), box));
    EXPECT_FALSE(inkOutside(chrome(L"Dismiss", box, DT_LEFT), box));
    // Text wider than its rectangle centres over it and is cut on both sides.
    const gdi::Surface centred = draw(L"Dismiss", box, DT_CENTER | DT_SINGLELINE);
    EXPECT_FALSE(inkOutside(centred, box));
}

TEST_F(TextTest, BackgroundsTextColourAndMeasurement)
{
    Canvas canvas(kW, kH, kWhite);
    EXPECT_EQ(SetTextColor(canvas.dc(), kRed), kBlack);
    EXPECT_EQ(GetTextColor(canvas.dc()), kRed);
    EXPECT_EQ(SetBkColor(canvas.dc(), kBlue), kWhite);
    EXPECT_EQ(SetBkMode(canvas.dc(), OPAQUE), OPAQUE);
    // An opaque background fills each line's cell: a space is a blue box of its advance.
    RECT area{4, 3, kW, kH};
    EXPECT_EQ(DrawTextW(canvas.dc(), L" ", 1, &area, DT_LEFT), font().lineHeight());
    const gdi::Surface s = pixelsOf(canvas.dc());
    const RECT cell{4, 3, 4 + widthOf(L" "), 3 + font().lineHeight()};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool inCell = x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom;
            ASSERT_EQ(s.pixel(x, y), inCell ? gdi::rgb(0, 0, 255) : kPaper) << x << "," << y;
        }
    // ExtTextOutW: the opaque rectangle first, then red text.
    Canvas other(kW, kH, kWhite);
    SetTextColor(other.dc(), kRed);
    SetBkMode(other.dc(), TRANSPARENT);
    const RECT box{0, 0, 30, 20};
    SetBkColor(other.dc(), kGreen);
    EXPECT_TRUE(ExtTextOutW(other.dc(), 2, 2, ETO_OPAQUE, &box, L"H", 1, nullptr));
    EXPECT_EQ(GetPixel(other.dc(), 29, 19), kGreen);
    EXPECT_EQ(GetPixel(other.dc(), 30, 19), kWhite);
    bool red = false;  // red ink over the green
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const COLORREF c = GetPixel(other.dc(), x, y);
            red = red || (GetRValue(c) > 200 && GetGValue(c) < 60);
        }
    EXPECT_TRUE(red);

    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(canvas.dc(), L"Dismiss", 7, &size));
    EXPECT_EQ(size.cx, widthOf(L"Dismiss"));
    EXPECT_EQ(size.cy, font().lineHeight());
    std::lock_guard lock(device.kernel().mutex());
    const SIZE measured = device.gdi().measureTextLocked(L"Close\nDismiss");
    EXPECT_EQ(measured.cx, widthOf(L"Dismiss"));
    EXPECT_EQ(measured.cy, 2 * font().lineHeight());
}

}  // namespace
}  // namespace velorin::test
