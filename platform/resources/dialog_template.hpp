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
    int id = 0;              // -1 for static text without an id
    std::wstring className;  // L"BUTTON", L"STATIC", ...
    std::wstring text;
    WORD textOrdinal = 0;  // a resource id (an icon's, a bitmap's) given instead of text
    DWORD helpId = 0;      // DIALOGEX only
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    int fontPointSize = 0;  // 0 when the template names no font
    std::wstring fontFace;
    std::vector<DialogItem> items;
    bool extended = false;  // DLGTEMPLATEEX (DIALOGEX) rather than DLGTEMPLATE
    DWORD helpId = 0;
    int fontWeight = 0;  // DIALOGEX only, like the two below
    bool fontItalic = false;
    BYTE fontCharset = 0;
    std::wstring menu;         // empty for none; "#<n>" for a menu resource's ordinal
    std::wstring windowClass;  // empty for the system's dialog class; "#<n>" for an ordinal
};

}  // namespace velorin::resources
