// Small picture operations shared by the GIF, the contact sheet and the live window.
#pragma once

#include "gdi/surface.hpp"

#include <string_view>

namespace velorin::sim {

// Around the screen where a picture holds more than the screen: a dark grey, so that a black
// screen (the backlight off) still shows where the panel is.
inline constexpr gdi::Rgb kOutsideScreen = 0x202020;

// The screen centred on a square of `side` pixels (the longer side of the panel, so that the
// screen fits in either orientation), kOutsideScreen around it.
gdi::Surface onSquare(const gdi::Surface& screen, int side);

// `picture` shrunk, keeping its shape, to fit `width` x `height`: each new pixel the average of
// the old pixels it covers. A picture that fits already is returned as it is.
gdi::Surface shrinkToFit(const gdi::Surface& picture, int width, int height);

// `from` copied into `to` with its top left corner at (x, y), clipped.
void paste(gdi::Surface& to, const gdi::Surface& from, int x, int y);

// One line of UTF-8 text in the device's UI font, its top at `top`, cut short with an ellipsis
// when wider than `maxWidth`. Returns the width drawn.
int drawTextLine(gdi::Surface& surface, int left, int top, int maxWidth, std::string_view utf8, gdi::Rgb colour);
// The height of a line of the UI font.
int textLineHeight();

}  // namespace velorin::sim
