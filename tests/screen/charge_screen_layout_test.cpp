// The frame's layout where the device tests do not reach it: screens smaller than a picture,
// whose odd differences must truncate toward zero, and pictures of other sizes.
#include "screen/charge_screen_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string text(const POINT& p)
{
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
}
std::string text(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

TEST(ChargeScreenLayout, TruncatesTowardZeroAndFollowsThePicturesSizes)
{
    // (101 - 104) / 2 is -1, not -2; (201 - 216) / 2 is -7, not -8.
    ChargeFrameLayout layout = ComputeChargeFrameLayout({101, 201}, {104, 216}, {56, 82}, {11, 170});
    EXPECT_EQ(text(layout.battery), "(-1, -7)");
    EXPECT_EQ(text(layout.percentRect), "(-1, -37, 103, -7)");
    EXPECT_EQ(text(layout.symbolRect), "(22, 59, 78, 141)");
    EXPECT_EQ(text(layout.gauge), "(108, 20)");
    // Landscape: (101 - 216) / 2 is -57; the digits run off the left edge.
    layout = ComputeChargeFrameLayout({201, 101}, {104, 216}, {56, 82}, {11, 170});
    EXPECT_EQ(text(layout.percentRect), "(-56, -27, 48, 3)");

    layout = ComputeChargeFrameLayout({240, 320}, {100, 200}, {40, 60}, {10, 100});
    EXPECT_EQ(text(layout.battery), "(70, 60)");
    EXPECT_EQ(text(layout.percentRect), "(70, 30, 170, 60)");
    EXPECT_EQ(text(layout.symbolRect), "(100, 130, 140, 190)");
    EXPECT_EQ(text(layout.gauge), "(175, 115)");
}

}  // namespace
