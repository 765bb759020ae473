// A dialog template as the window manager builds a dialog from it: what a DIALOG or DIALOGEX
// statement of a resource script says, positions and sizes in dialog units.
#pragma once

#include "kernel/windef.h"

#include <string>
#include <vector>

namespace velorin::resources {

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;                // -1 for static text without an id
    std::wstring className;    // L"BUTTON", L"STATIC", ...
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    int fontPointSize = 0;     // 0 when the template names no font
    std::wstring fontFace;
    std::vector<DialogItem> items;
};

}  // namespace velorin::resources
