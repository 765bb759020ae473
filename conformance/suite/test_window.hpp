// A plain window for the checks: its procedure logs the messages that both systems send alike
// (the rest differ in number and order between implementations and are left out), paints
// nothing, and answers WM_USER+5 with 42.
#pragma once

#include <windows.h>

namespace conformance {

inline constexpr UINT kAnswer = WM_USER + 5;

// A popup window of the test class at (x, y), w by h, not shown.
HWND MakeWindow(LPCWSTR title, int x = 0, int y = 0, int width = 100, int height = 100, DWORD exStyle = 0);
// The timer that the window's procedure kills at its first tick.
inline constexpr UINT_PTR kSelfKillingTimer = 9;

}  // namespace conformance
