// The charging animation as the device sees it, call by call: the example frame, the cycle of
// blink and fill, the gauge levels, the full battery, the digits, suspension, an abandoned frame,
// a square screen and a rotation, and no drawing object left behind.
#include "tests/screen/renderer_test_support.hpp"

namespace velorin::test {
namespace {

// The bitmap record at this host's pointer width.
const std::string kBitmapRecord = std::to_string(sizeof(BITMAP));

TEST(ChargeScreenRenderer, DrawsTheExampleFrameCallForCall)
{
    AnimatedScreen s;
    s.start(56);
    s.runToTick(4);
    EXPECT_EQ(s.screen().m_lastPercentDrawn, 56);
    s.harness.power(std::nullopt, 57);
    s.runToTick(5);  // blink on, fill step 3, level 5, digits last drawn for 56
    EXPECT_EQ(s.tickCalls(5), (Lines{
                                  "GetWindowLongPtrW(0x10000, -21) = 57",
                                  "GetDC(0x10000) = dc",
                                  "CreateCompatibleDC(dc) = mem",
                                  "GetSystemMetrics(0) = 240",
                                  "GetSystemMetrics(1) = 320",
                                  "GetObjectW(empty, " + kBitmapRecord + ", ptr) = " + kBitmapRecord,
                                  "GetObjectW(symbol, " + kBitmapRecord + ", ptr) = " + kBitmapRecord,
                                  "GetObjectW(gauge, " + kBitmapRecord + ", ptr) = " + kBitmapRecord,
                                  "CreateSolidBrush(0) = black",
                                  "SelectObject(dc, black) = white",
                                  "Rectangle(dc, 68, 22, 172, 52) = 1",
                                  "Rectangle(dc, 177, 80, 188, 165) = 1",
                                  "SelectObject(dc, white) = black",
                                  "DeleteObject(black) = 1",
                                  "SelectObject(mem, empty) = original",
                                  "BitBlt(dc, 68, 52, 104, 86, mem, 0, 0, 13369376) = 1",
                                  "SelectObject(mem, original) = empty",
                                  "SelectObject(mem, full) = original",
                                  "BitBlt(dc, 68, 138, 104, 129, mem, 0, 86, 13369376) = 1",
                                  "SelectObject(mem, original) = full",
                                  "SelectObject(mem, symbol) = original",
                                  "TransparentImage(dc, 92, 119, 56, 82, mem, 0, 0, 56, 82, 0) = 1",
                                  "SelectObject(mem, original) = symbol",
                                  "SelectObject(mem, gauge) = original",
                                  "BitBlt(dc, 177, 165, 11, 85, mem, 0, 85, 13369376) = 1",
                                  "SelectObject(mem, original) = gauge",
                                  "SelectObject(mem, digits) = original",
                                  "TransparentImage(dc, 101, 22, 19, 30, mem, 95, 0, 19, 30, 0) = 1",
                                  "TransparentImage(dc, 120, 22, 19, 30, mem, 133, 0, 19, 30, 0) = 1",
                                  "TransparentImage(dc, 139, 22, 22, 30, mem, 190, 0, 22, 30, 0) = 1",
                                  "SelectObject(mem, original) = digits",
                                  "DeleteDC(mem) = 1",
                                  "ReleaseDC(0x10000, dc) = 1",
                                  "IsWindowVisible(0x10000) = 1",
                                  "SetForegroundWindow(0x10000) = 1",
                                  "DefWindowProcW(0x10000, 275, 1, 0) = 0",
                              }));
    EXPECT_EQ(s.screen().m_lastPercentDrawn, 57);
    EXPECT_EQ(s.screen().m_fullDrawn, FALSE);
}

// The battery's two copies at each fill step: its 216 rows cut at a fifth, truncated.
const std::string kBatteryCopies[6][2] = {
    {"BitBlt(dc, 68, 52, 104, 216, mem, 0, 0, 13369376) = 1", "BitBlt(dc, 68, 268, 104, 0, mem, 0, 216, 13369376) = 1"},
    {"BitBlt(dc, 68, 52, 104, 172, mem, 0, 0, 13369376) = 1",
     "BitBlt(dc, 68, 224, 104, 43, mem, 0, 172, 13369376) = 1"},
    {"BitBlt(dc, 68, 52, 104, 129, mem, 0, 0, 13369376) = 1",
     "BitBlt(dc, 68, 181, 104, 86, mem, 0, 129, 13369376) = 1"},
    {"BitBlt(dc, 68, 52, 104, 86, mem, 0, 0, 13369376) = 1", "BitBlt(dc, 68, 138, 104, 129, mem, 0, 86, 13369376) = 1"},
    {"BitBlt(dc, 68, 52, 104, 43, mem, 0, 0, 13369376) = 1", "BitBlt(dc, 68, 95, 104, 172, mem, 0, 43, 13369376) = 1"},
    {"BitBlt(dc, 68, 52, 104, 0, mem, 0, 0, 13369376) = 1", "BitBlt(dc, 68, 52, 104, 216, mem, 0, 0, 13369376) = 1"},
};

TEST(ChargeScreenRenderer, BlinksAndFillsInTheTwelveTickCycleWhateverThePercentage)
{
    const int blink[13] = {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
    const int fill[13] = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 0, 0, 1};
    for (const int percent : {0, 57, 99}) {
        AnimatedScreen s;
        s.start(percent);
        for (int tick = 1; tick <= 13; ++tick) {
            s.runToTick(tick);
            SCOPED_TRACE("p " + std::to_string(percent) + ", tick " + std::to_string(tick));
            EXPECT_EQ(s.screen().m_blinkOn, blink[tick - 1]);
            EXPECT_EQ(s.screen().m_fillStep, fill[tick - 1]);
            // The symbol is drawn on the ticks whose blink phase is on.
            EXPECT_EQ(s.tickCallsTo(tick, "SelectObject(mem, symbol)").size(), blink[tick - 1] == 1 ? 1u : 0u);
            // The grey top and the green bottom of the battery, meeting at a fifth.
            const Lines copies = s.tickCallsTo(tick, "BitBlt");
            ASSERT_EQ(copies.size(), 3u);
            EXPECT_EQ(copies[0], kBatteryCopies[fill[tick - 1]][0]);
            EXPECT_EQ(copies[1], kBatteryCopies[fill[tick - 1]][1]);
        }
    }
}

TEST(ChargeScreenRenderer, ShowsOneGaugeSegmentPerTenthWithAtLeastOneAndAtMostTen)
{
    AnimatedScreen s;
    s.start(0);
    // Only the cell's low byte counts: 0x139 reads as 57.
    // Eleven tenths and more are ten: the gauge is copied from within its picture.
    // The gauge's 170 rows in tenths of 17: the black top ends where the lit part's copy begins.
    const std::tuple<LONG, int, const char*, const char*> levels[] = {
        {0, 1, "233", "233, 11, 17, mem, 0, 153"},  {9, 1, "233", "233, 11, 17, mem, 0, 153"},
        {10, 1, "233", "233, 11, 17, mem, 0, 153"}, {19, 1, "233", "233, 11, 17, mem, 0, 153"},
        {20, 2, "216", "216, 11, 34, mem, 0, 136"}, {57, 5, "165", "165, 11, 85, mem, 0, 85"},
        {99, 9, "97", "97, 11, 153, mem, 0, 17"},   {100, 10, "80", "80, 11, 170, mem, 0, 0"},
        {101, 10, "80", "80, 11, 170, mem, 0, 0"},  {110, 10, "80", "80, 11, 170, mem, 0, 0"},
        {119, 10, "80", "80, 11, 170, mem, 0, 0"},  {200, 10, "80", "80, 11, 170, mem, 0, 0"},
        {255, 10, "80", "80, 11, 170, mem, 0, 0"},  {0x139, 5, "165", "165, 11, 85, mem, 0, 85"}};
    int tick = 0;
    for (const auto& [cell, level, blackEnd, litCopy] : levels) {
        s.setCell(cell);
        s.screen().m_fullDrawn = FALSE;
        s.runToTick(++tick);
        SCOPED_TRACE("cell " + std::to_string(cell));
        EXPECT_EQ(s.screen().m_levelTenths, level);
        EXPECT_EQ(s.tickCallsTo(tick, "Rectangle").back(),
                  "Rectangle(dc, 177, 80, 188, " + std::string(blackEnd) + ") = 1");
        EXPECT_EQ(s.tickCallsTo(tick, "BitBlt").back(), "BitBlt(dc, 177, " + std::string(litCopy) + ", 13369376) = 1");
        if (level == 10) {
            EXPECT_EQ(s.screen().m_fillStep, 5);
            EXPECT_EQ(s.screen().m_blinkOn, FALSE);
            EXPECT_TRUE(s.tickCallsTo(tick, "SelectObject(mem, symbol)").empty()) << "no symbol at level 10";
        }
    }
}

TEST(ChargeScreenRenderer, AFullBatteryStopsTheFramesUntilARedrawIsForced)
{
    AnimatedScreen s;
    s.start(100);
    s.runToTick(1);
    EXPECT_EQ(s.tickCallsTo(1, "TransparentImage"),
              (Lines{"TransparentImage(dc, 91, 22, 19, 30, mem, 19, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 110, 22, 19, 30, mem, 0, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 129, 22, 19, 30, mem, 0, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 148, 22, 22, 30, mem, 190, 0, 22, 30, 0) = 1"}));
    EXPECT_EQ(s.screen().m_fullDrawn, TRUE);
    const Lines battery = s.tickCallsTo(1, "BitBlt");
    ASSERT_EQ(battery.size(), 3u);
    EXPECT_EQ(battery[0], "BitBlt(dc, 68, 52, 104, 0, mem, 0, 0, 13369376) = 1");
    EXPECT_EQ(battery[1], "BitBlt(dc, 68, 52, 104, 216, mem, 0, 0, 13369376) = 1");

    // A later fall is not shown; the window still comes to the front.
    s.harness.power(std::nullopt, 57);
    s.runToTick(3);
    for (const int tick : {2, 3}) {
        EXPECT_FALSE(s.drewFrame(tick)) << tick;
        EXPECT_EQ(s.tickCallsTo(tick, "SetForegroundWindow"), (Lines{"SetForegroundWindow(0x10000) = 1"})) << tick;
    }
    EXPECT_EQ(s.screen().m_levelTenths, 5) << "the animation state goes on";
    EXPECT_EQ(s.screen().m_lastPercentDrawn, 100);

    s.screen().m_fullDrawn = FALSE;
    s.runToTick(4);
    EXPECT_TRUE(s.drewFrame(4));
    EXPECT_EQ(s.tickCallsTo(4, "TransparentImage").size(), 4u) << "the symbol, 5, 7 and %";
    EXPECT_EQ(s.screen().m_lastPercentDrawn, 57);
    EXPECT_EQ(s.screen().m_fullDrawn, FALSE);
}

TEST(ChargeScreenRenderer, AboveOneHundredDrawsEveryTickAndReadsOneHundred)
{
    AnimatedScreen s;
    s.start(150);
    s.runToTick(3);
    EXPECT_EQ(s.tickCallsTo(1, "TransparentImage"),
              (Lines{"TransparentImage(dc, 91, 22, 19, 30, mem, 19, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 110, 22, 19, 30, mem, 0, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 129, 22, 19, 30, mem, 0, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 148, 22, 22, 30, mem, 190, 0, 22, 30, 0) = 1"}));
    for (const int tick : {2, 3}) {
        EXPECT_TRUE(s.drewFrame(tick)) << tick;
        EXPECT_TRUE(s.tickCallsTo(tick, "TransparentImage").empty()) << "the digits stand: " << tick;
    }
    EXPECT_EQ(s.screen().m_fullDrawn, FALSE);
    EXPECT_EQ(s.screen().m_lastPercentDrawn, 150);
}

TEST(ChargeScreenRenderer, AnUnknownPercentageDrawsNoDigitsAndAChangeRedrawsThemOnce)
{
    AnimatedScreen s;
    s.start(255);
    s.runToTick(2);
    for (const int tick : {1, 2}) {
        EXPECT_TRUE(s.drewFrame(tick));
        EXPECT_EQ(s.tickCallsTo(tick, "Rectangle"), (Lines{"Rectangle(dc, 177, 80, 188, 80) = 1"})) << "the gauge";
        EXPECT_TRUE(s.tickCallsTo(tick, "TransparentImage").empty());
    }
    EXPECT_EQ(s.screen().m_lastPercentDrawn, 255);

    s.harness.power(std::nullopt, 5);
    s.runToTick(4);
    EXPECT_EQ(s.tickCallsTo(3, "Rectangle").front(), "Rectangle(dc, 68, 22, 172, 52) = 1");
    EXPECT_EQ(s.tickCallsTo(3, "TransparentImage"),
              (Lines{"TransparentImage(dc, 92, 119, 56, 82, mem, 0, 0, 56, 82, 0) = 1",
                     "TransparentImage(dc, 110, 22, 19, 30, mem, 95, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 129, 22, 22, 30, mem, 190, 0, 22, 30, 0) = 1"}));
    EXPECT_EQ(s.tickCallsTo(4, "Rectangle").size(), 1u) << "unchanged digits are not erased";
    EXPECT_TRUE(s.tickCallsTo(4, "SelectObject(mem, digits)").empty());

    // A forced redraw draws the same digits again; one at 255 draws none.
    s.screen().m_lastPercentDrawn = 255;
    s.runToTick(5);
    EXPECT_EQ(s.tickCallsTo(5, "Rectangle").size(), 2u);
    EXPECT_EQ(s.tickCallsTo(5, "SelectObject(mem, digits)").size(), 1u);
    s.setCell(255);
    s.screen().m_lastPercentDrawn = 255;
    s.runToTick(6);
    EXPECT_EQ(s.tickCallsTo(6, "Rectangle").size(), 1u);
    EXPECT_TRUE(s.tickCallsTo(6, "SelectObject(mem, digits)").empty());
}

TEST(ChargeScreenRenderer, WhileDrawingIsOffTheAnimationGoesOnUnseen)
{
    AnimatedScreen s;
    s.start(57);
    s.runToTick(1);
    const std::string symbol = rectText(s.screen().m_symbolRect);
    s.screen().m_drawingEnabled = FALSE;
    s.runToTick(4);
    for (const int tick : {2, 3, 4})
        EXPECT_EQ(s.tickCalls(tick),
                  (Lines{"GetWindowLongPtrW(0x10000, -21) = 57", "DefWindowProcW(0x10000, 275, 1, 0) = 0"}))
            << tick;
    EXPECT_EQ(s.screen().m_fillStep, 2);
    EXPECT_EQ(s.screen().m_blinkOn, FALSE);
    EXPECT_EQ(rectText(s.screen().m_symbolRect), symbol);

    s.screen().m_drawingEnabled = TRUE;
    s.runToTick(5);
    EXPECT_TRUE(s.drewFrame(5));
    EXPECT_EQ(s.screen().m_fillStep, 3) << "resumes in the phase it reached";
    EXPECT_EQ(s.tickCallsTo(5, "SetForegroundWindow").size(), 1u);
}

TEST(ChargeScreenRenderer, WithoutADeviceContextTheFrameIsAbandonedAndNothingLeaks)
{
    AnimatedScreen s;
    s.start(100);
    EXPECT_TRUE(IsRectEmpty(&s.screen().m_symbolRect)) << "no tap target before the first frame";
    s.harness.faults().failAlways("GetDC");
    s.runToTick(2);
    for (const int tick : {1, 2}) {
        EXPECT_EQ(s.tickCalls(tick),
                  (Lines{"GetWindowLongPtrW(0x10000, -21) = 100", "GetDC(0x10000) = NULL", "IsWindowVisible(0x10000) = 1",
                         "SetForegroundWindow(0x10000) = 1", "DefWindowProcW(0x10000, 275, 1, 0) = 0"}))
            << tick;
    }
    EXPECT_EQ(s.screen().m_levelTenths, 10) << "the tick's state changes stand";
    EXPECT_EQ(s.screen().m_fillStep, 5);
    EXPECT_EQ(s.screen().m_lastPercentDrawn, 255);
    EXPECT_EQ(s.screen().m_fullDrawn, FALSE);
    EXPECT_TRUE(IsRectEmpty(&s.screen().m_symbolRect));
    EXPECT_EQ(s.harness.device().gdi().liveObjects(), 5u);
    EXPECT_EQ(s.harness.device().gdi().liveDCs(), 0u);

    s.harness.faults().clear();
    s.runToTick(3);
    EXPECT_TRUE(s.drewFrame(3));
    EXPECT_EQ(s.screen().m_fullDrawn, TRUE);
    EXPECT_EQ(s.screen().m_symbolRect.left, 92);
}

TEST(ChargeScreenRenderer, EveryFrameLeavesNoObjectBehindEvenWhenItsCallsFail)
{
    AnimatedScreen s;
    s.start(57);
    for (int tick = 1; tick <= 13; ++tick) {
        s.runToTick(tick);
        EXPECT_TRUE(s.drewFrame(tick));
        EXPECT_EQ(s.harness.device().gdi().liveObjects(), 5u) << "only the five pictures, tick " << tick;
        EXPECT_EQ(s.harness.device().gdi().liveDCs(), 0u) << tick;
    }
    // A frame whose memory context, brush or selections cannot be had goes on and frees the rest.
    int tick = 13;
    for (const char* function : {"CreateCompatibleDC", "CreateSolidBrush", "SelectObject"}) {
        s.harness.faults().failAlways(function);
        s.screen().m_lastPercentDrawn = 255;
        s.runToTick(++tick);
        s.harness.faults().clear();
        EXPECT_TRUE(s.drewFrame(tick)) << function;
        EXPECT_EQ(s.tickCallsTo(tick, "ReleaseDC").size(), 1u) << function;
        EXPECT_EQ(s.harness.device().gdi().liveObjects(), 5u) << function;
        EXPECT_EQ(s.harness.device().gdi().liveDCs(), 0u) << function;
    }
    s.harness.key(VK_ESCAPE);
    EXPECT_FALSE(s.harness.programRunning());
    EXPECT_TRUE(linesWith(s.harness, "gdi.leak").empty());
}

TEST(ChargeScreenRenderer, ASquareScreenLaysOutAsPortraitWithTheDigitsPartlyOffIt)
{
    HarnessOptions options = utilityOptions();
    options.device.screenWidth = 240;
    options.device.screenHeight = 240;
    AnimatedScreen s(options);
    s.start(57);
    s.runToTick(1);
    EXPECT_EQ(s.tickCallsTo(1, "Rectangle"),
              (Lines{"Rectangle(dc, 68, -18, 172, 12) = 1", "Rectangle(dc, 177, 40, 188, 125) = 1"}));
    EXPECT_EQ(s.tickCallsTo(1, "BitBlt").front(), "BitBlt(dc, 68, 12, 104, 172, mem, 0, 0, 13369376) = 1");
    EXPECT_EQ(s.tickCallsTo(1, "TransparentImage"),
              (Lines{"TransparentImage(dc, 92, 79, 56, 82, mem, 0, 0, 56, 82, 0) = 1",
                     "TransparentImage(dc, 101, -18, 19, 30, mem, 95, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 120, -18, 19, 30, mem, 133, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 139, -18, 22, 30, mem, 190, 0, 22, 30, 0) = 1"}));
    EXPECT_EQ(rectText(s.screen().m_percentRect), "(68, -18, 172, 12)");
}

TEST(ChargeScreenRenderer, AfterARotationTheNextFrameUsesTheLandscapeLayout)
{
    AnimatedScreen s;
    s.start(57);
    s.runToTick(1);
    s.harness.rotate(90);
    s.runToTick(2);
    EXPECT_EQ(s.tickCallsTo(2, "GetSystemMetrics"), (Lines{"GetSystemMetrics(0) = 320", "GetSystemMetrics(1) = 240"}));
    EXPECT_EQ(rectText(s.screen().m_percentRect), "(4, 42, 108, 72)");
    EXPECT_EQ(rectText(s.screen().m_symbolRect), "(132, 79, 188, 161)");
    EXPECT_EQ(s.tickCallsTo(2, "Rectangle"), (Lines{"Rectangle(dc, 217, 40, 228, 125) = 1"}))
        << "the digits are neither erased nor moved until the percentage changes";
    EXPECT_EQ(s.tickCallsTo(2, "BitBlt"), (Lines{"BitBlt(dc, 108, 12, 104, 172, mem, 0, 0, 13369376) = 1",
                                                 "BitBlt(dc, 108, 184, 104, 43, mem, 0, 172, 13369376) = 1",
                                                 "BitBlt(dc, 217, 125, 11, 85, mem, 0, 85, 13369376) = 1"}));
    EXPECT_TRUE(s.tickCallsTo(2, "TransparentImage").empty());

    s.harness.power(std::nullopt, 58);
    s.runToTick(3);
    EXPECT_EQ(s.tickCallsTo(3, "Rectangle").front(), "Rectangle(dc, 4, 42, 108, 72) = 1");
    EXPECT_EQ(s.tickCallsTo(3, "TransparentImage"),
              (Lines{"TransparentImage(dc, 132, 79, 56, 82, mem, 0, 0, 56, 82, 0) = 1",
                     "TransparentImage(dc, 37, 42, 19, 30, mem, 95, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 56, 42, 19, 30, mem, 152, 0, 19, 30, 0) = 1",
                     "TransparentImage(dc, 75, 42, 22, 30, mem, 190, 0, 22, 30, 0) = 1"}));
}

TEST(ChargeScreenRenderer, SkippedFramesKeepTheTapTargetOfTheLastDrawnFrame)
{
    AnimatedScreen s;
    s.start(100);
    s.runToTick(1);
    const std::string portrait = "(92, 119, 148, 201)";
    EXPECT_EQ(rectText(s.screen().m_symbolRect), portrait);
    s.harness.rotate(90);
    s.runToTick(3);
    EXPECT_FALSE(s.drewFrame(3));
    EXPECT_EQ(rectText(s.screen().m_symbolRect), portrait) << "no frame, no new layout";
}

}  // namespace
}  // namespace velorin::test
