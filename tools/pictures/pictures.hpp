// The utility's pictures (bitmaps 130 to 134) and its icon, drawn at their fixed sizes and cell
// layouts on black.
#pragma once

#include "ico_writer.hpp"
#include "image.hpp"

#include <vector>

namespace velorin::pictures {

class FontFace;

// 104 x 216: the battery cell; the body green when `charged` (130), grey otherwise (131). The two
// share every pixel outside the body.
Image drawBattery(bool charged);

// 56 x 82: the white lightning bolt, smoothed into grey at its edges.
Image drawChargeSymbol();

// The bolt's outline in the charge symbol's pixels; the icon draws it too.
const std::vector<Point>& boltOutline();

// 11 x 170: ten bands of 17 rows, a solid block in each, green at the top to red at the bottom.
Image drawGauge();

// 212 x 30: the digits 0 to 9 in cells 19 pixels wide, then the percent sign in a cell 22 wide.
Image drawDigits(FontFace& face);

// The icon group: 48, 32 and 16 pixels, each at 4, 8 and 24 bits per pixel.
std::vector<IconImage> drawIcon();

}  // namespace velorin::pictures
