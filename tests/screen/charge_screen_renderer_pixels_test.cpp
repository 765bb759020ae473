// What the charging animation puts on the composed screen: the lit gauge segments in their
// colours, the digits at their places, the battery's rows at each fill step, and the layouts of
// a square screen and a rotated one. Expected pictures are laid together from the utility's own
// bitmaps.
#include "tests/screen/renderer_test_support.hpp"
#include "tests/screen/screen_pixels.hpp"

#include <array>

namespace velorin::test {
namespace {

using gdi::Rgb;
using gdi::Surface;

// The gauge's segment colours, top band first.
constexpr Rgb kSegmentColours[10] = {0x61A144, 0x82A944, 0x9EAF43, 0xB8B241, 0xCDB241,
                                     0xDEB042, 0xD39035, 0xC96F2B, 0xC04C24, 0xB81A1E};
constexpr Rgb kMarker = 0xFF00FF;

// Paints `area` of the window with `colour` from outside the utility.
void paint(HWND window, RECT area, COLORREF colour)
{
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

// Lit segments of the gauge at `origin`, counted from the bottom, each in its own colour; -1
// when a segment shows the wrong colour or a lit one sits above a dark one.
int litSegments(const Surface& screen, POINT origin)
{
    int lit = 0;
    for (int band = 9; band >= 0; --band) {
        const Rgb seen = screen.pixel(origin.x + 5, origin.y + 17 * band + 8);
        if (seen == kSegmentColours[band] && lit == 9 - band)
            ++lit;
        else if (seen != 0)
            return -1;
    }
    return lit;
}

TEST(ChargeScreenPixels, TheGaugeLightsItsBottomSegmentsInTheirColours)
{
    AnimatedScreen s;
    s.start(0);
    // Percentage, lit segments, and the black rows above them (17 a segment).
    const std::tuple<int, int, int> cases[] = {{0, 1, 153}, {19, 1, 153}, {20, 2, 136}, {57, 5, 85},
                                               {99, 9, 17}, {100, 10, 0}, {30, 3, 119}};
    int tick = 0;
    for (const auto& [percent, lit, darkRows] : cases) {
        s.setCell(percent);
        s.screen().m_fullDrawn = FALSE;
        s.runToTick(++tick);
        const Surface screen = s.harness.screen();
        EXPECT_EQ(litSegments(screen, POINT{177, 80}), lit) << percent;
        // Dark segments are black all over, after a higher level too.
        for (int y = 80; y < 80 + darkRows; ++y)
            for (int x = 177; x < 188; ++x)
                ASSERT_EQ(screen.pixel(x, y), 0u) << percent << " at " << x << "," << y;
    }
}

TEST(ChargeScreenPixels, TheDigitsStandCentredAboveTheBatteryAndTheOldOnesAreErased)
{
    AnimatedScreen s;
    s.start(57);
    s.runToTick(1);
    const Surface digits = bitmapPixels(s.harness, s.screen().m_bmpDigits);
    EXPECT_EQ(difference(s.harness.screen(), POINT{68, 22}, percentArea(digits, 101 - 68, {5, 7, -1})), "");

    s.harness.power(std::nullopt, 5);
    s.runToTick(2);
    EXPECT_EQ(difference(s.harness.screen(), POINT{68, 22}, percentArea(digits, 110 - 68, {5, -1})), "");

    s.harness.power(std::nullopt, 100);
    s.runToTick(3);
    EXPECT_EQ(difference(s.harness.screen(), POINT{68, 22}, percentArea(digits, 91 - 68, {1, 0, 0, -1})), "");

    // The first and the last value of two digits.
    s.screen().m_fullDrawn = FALSE;
    s.harness.power(std::nullopt, 10);
    s.runToTick(4);
    EXPECT_EQ(difference(s.harness.screen(), POINT{68, 22}, percentArea(digits, 101 - 68, {1, 0, -1})), "");
    s.harness.power(std::nullopt, 99);
    s.runToTick(5);
    EXPECT_EQ(difference(s.harness.screen(), POINT{68, 22}, percentArea(digits, 101 - 68, {9, 9, -1})), "");
}

TEST(ChargeScreenPixels, TheBatteryShowsItsGreenPartAtEachFillStepAndKeepsItsBottomRow)
{
    AnimatedScreen s;
    s.start(57);
    const Surface empty = bitmapPixels(s.harness, s.screen().m_bmpBatteryEmpty);
    const Surface full = bitmapPixels(s.harness, s.screen().m_bmpBatteryFull);
    const Surface symbol = bitmapPixels(s.harness, s.screen().m_bmpChargeSymbol);
    const auto green = [](Rgb c) { return ((c >> 8) & 0xFF) > ((c >> 16) & 0xFF) + 40; };
    int greenRowsAtFillFive = 0;
    for (int tick = 1; tick <= 12; ++tick) {
        // A mark on the battery's bottom row shows whether the frame drew over it.
        paint(s.window, RECT{68, 52 + 215, 172, 52 + 216}, RGB(255, 0, 255));
        s.runToTick(tick);
        const int fill = s.screen().m_fillStep;
        // The grey rows at each fill step, fifths of 216 truncated; the green ones are the rest.
        const int grey = std::array{216, 172, 129, 86, 43, 0}.at(static_cast<std::size_t>(fill));
        const int greenHeight = std::array{0, 43, 86, 129, 172, 216}.at(static_cast<std::size_t>(fill));
        Surface expected(104, 216, kMarker);
        lay(expected, POINT{0, 0}, empty, RECT{0, 0, 104, grey}, false);
        lay(expected, POINT{0, grey}, full, RECT{0, grey, 104, grey + greenHeight}, false);
        if (s.screen().m_blinkOn)
            lay(expected, POINT{92 - 68, 119 - 52}, symbol, RECT{0, 0, 56, 82}, true);
        const Surface screen = s.harness.screen();
        SCOPED_TRACE("tick " + std::to_string(tick) + ", fill step " + std::to_string(fill));
        EXPECT_EQ(difference(screen, POINT{68, 52}, expected), "");
        EXPECT_EQ(screen.pixel(100, 52 + 215) == kMarker, fill >= 1 && fill <= 4);

        // Down the body's left side, the green rows are those of the full picture's part.
        int greenRows = 0;
        for (int y = 0; y < 216; ++y)
            greenRows += green(screen.pixel(68 + 10, 52 + y)) ? 1 : 0;
        if (fill == 0) {
            EXPECT_EQ(greenRows, 0);
        }
        if (fill == 5)
            greenRowsAtFillFive = greenRows;
        EXPECT_LE(greenRows, greenHeight);
    }
    EXPECT_GT(greenRowsAtFillFive, 150) << "the body is green when full";
}

TEST(ChargeScreenPixels, ASquareScreenShowsTheLowerRowsOfTheDigitsAtItsTop)
{
    HarnessOptions options = utilityOptions();
    options.device.screenWidth = 240;
    options.device.screenHeight = 240;
    AnimatedScreen s(options);
    s.start(57);
    s.runToTick(1);
    const Surface digits = bitmapPixels(s.harness, s.screen().m_bmpDigits);
    Surface visible(104, 12);
    lay(visible, POINT{0, 0}, percentArea(digits, 101 - 68, {5, 7, -1}), RECT{0, 18, 104, 30}, false);
    EXPECT_EQ(difference(s.harness.screen(), POINT{68, 0}, visible), "");
    EXPECT_EQ(litSegments(s.harness.screen(), POINT{177, 40}), 5);
}

TEST(ChargeScreenPixels, AfterARotationTheFrameIsDrawnInTheLandscapeLayout)
{
    AnimatedScreen s;
    s.start(57);
    s.runToTick(1);
    s.harness.rotate(90);
    s.harness.power(std::nullopt, 42);
    s.runToTick(3);  // blink on, fill step 2
    const Surface screen = s.harness.screen();
    ASSERT_EQ(screen.width(), 320);
    const Surface empty = bitmapPixels(s.harness, s.screen().m_bmpBatteryEmpty);
    const Surface full = bitmapPixels(s.harness, s.screen().m_bmpBatteryFull);
    const Surface symbol = bitmapPixels(s.harness, s.screen().m_bmpChargeSymbol);
    Surface battery(104, 216);
    lay(battery, POINT{0, 0}, empty, RECT{0, 0, 104, 129}, false);
    lay(battery, POINT{0, 129}, full, RECT{0, 129, 104, 215}, false);
    lay(battery, POINT{132 - 108, 79 - 12}, symbol, RECT{0, 0, 56, 82}, true);
    EXPECT_EQ(difference(screen, POINT{108, 12}, battery), "");
    EXPECT_EQ(litSegments(screen, POINT{217, 40}), 4);
    const Surface digits = bitmapPixels(s.harness, s.screen().m_bmpDigits);
    EXPECT_EQ(difference(screen, POINT{4, 42}, percentArea(digits, 37 - 4, {4, 2, -1})), "");
}

}  // namespace
}  // namespace velorin::test
