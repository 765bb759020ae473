// The screen as the X server shows it, read back through the desktop's device context.
#pragma once

#include <windows.h>

#include <string>

namespace velorin::wine {

// The colour at a point of the screen, as 0xRRGGBB; false outside the screen.
bool screenPixel(int x, int y, DWORD& rgb, std::string& why);
// The whole screen as a PNG file; false with the reason.
bool saveScreen(const std::wstring& file, std::string& why);

}  // namespace velorin::wine
