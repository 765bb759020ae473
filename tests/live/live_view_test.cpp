// What the live window shows and does, without a window: where clicks land on the device's
// screen, what the keys do to the device, and the picture beside the status strip.
#include "sim/live/live_view.hpp"
#include "sim/output/picture_tools.hpp"

#include <gtest/gtest.h>

namespace velorin::sim {
namespace {

TEST(LiveView, AClickLandsOnTheLogicalScreenPixelUnderItInEitherOrientation)
{
    const LiveView view(240, 320);  // a 320 x 320 square, shown twice as large
    EXPECT_EQ(view.width(), 320 + LiveView::kStripWidth);
    EXPECT_EQ(view.height(), 320);
    // Upright: 240 wide, 40 pixels of grey on either side.
    EXPECT_EQ(view.screenPointAt(2 * 40 + 21, 2 * 5 + 1, 240, 320), (std::pair{10, 5}));
    EXPECT_EQ(view.screenPointAt(2 * 40 - 1, 10, 240, 320), std::nullopt);
    EXPECT_EQ(view.screenPointAt(2 * 280, 10, 240, 320), std::nullopt);
    // Turned: 320 wide and 240 high, the grey above and below.
    EXPECT_EQ(view.screenPointAt(2 * 319, 2 * 40, 320, 240), (std::pair{319, 0}));
    EXPECT_EQ(view.screenPointAt(20, 2 * 40 - 1, 320, 240), std::nullopt);
    EXPECT_EQ(view.screenPointAt(2 * 330, 2 * 100, 320, 240), std::nullopt);  // the strip
}

TEST(LiveView, KeysPlugTheChargerMoveThePercentageTurnTheDisplayAndQuit)
{
    Harness harness;
    harness.launch();
    harness.runFor(100);
    EXPECT_EQ(readStatus(harness).lineStatus, 0);
    apply(harness, LiveAction::TogglePlug);
    EXPECT_EQ(readStatus(harness).lineStatus, 1);
    harness.runFor(4000);
    EXPECT_EQ(harness.orientationDegrees(), 90);  // the charging screen turned it
    apply(harness, LiveAction::TogglePlug);
    EXPECT_EQ(readStatus(harness).lineStatus, 0);

    EXPECT_EQ(readStatus(harness).percent, 100);
    apply(harness, LiveAction::PercentUp);
    EXPECT_EQ(readStatus(harness).percent, 100);
    apply(harness, LiveAction::PercentDown);
    apply(harness, LiveAction::PercentDown);
    EXPECT_EQ(readStatus(harness).percent, 98);
    harness.power(std::nullopt, 255);
    apply(harness, LiveAction::PercentDown);  // an unknown charge counts as full
    EXPECT_EQ(readStatus(harness).percent, 99);

    harness.runFor(3000);
    const int before = harness.orientationDegrees();
    apply(harness, LiveAction::Rotate);
    EXPECT_EQ(harness.orientationDegrees(), (before + 90) % 360);

    EXPECT_FALSE(harness.stopRequested());
    apply(harness, LiveAction::Quit);
    EXPECT_TRUE(harness.stopRequested());
}

TEST(LiveView, TheScreenSitsInItsSquareBesideAStripOfText)
{
    const LiveView view(240, 320);
    const gdi::Surface screen(320, 240, 0x00FF00);
    DeviceStatus status;
    status.lineStatus = 1;
    status.percent = 42;
    status.powerState = "On";
    const gdi::Surface picture = view.render(screen, status);
    ASSERT_EQ(picture.width(), view.width());
    const gdi::Surface square = onSquare(screen, 320);
    for (int y = 0; y < 320; y += 7)
        for (int x = 0; x < 320; x += 7)
            ASSERT_EQ(picture.pixel(x, y), square.pixel(x, y)) << x << "," << y;
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 320; x < picture.width(); ++x)
            inked += picture.pixel(x, y) != picture.pixel(picture.width() - 1, picture.height() - 1);
    EXPECT_GT(inked, 200);
    // Another state draws other text.
    status.percent = 7;
    EXPECT_NE(view.render(screen, status), picture);
}

}  // namespace
}  // namespace velorin::sim
