// Real input through the system's own path (SendInput): what reaches the program is what a
// user's stylus and keys would give it under this window manager.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace velorin::wine {

// A tap: the pointer moves there, the button goes down and up.
void tap(int x, int y);
void pressKey(WORD virtualKey);

// The centre of a visible button with this text in a visible window of one of the processes.
std::optional<POINT> buttonCentre(const std::wstring& text, const std::vector<DWORD>& processes);
// The processes' main window with this title: a top-level window that no other owns.
std::optional<HWND> mainWindow(const std::wstring& title, const std::vector<DWORD>& processes);

}  // namespace velorin::wine
