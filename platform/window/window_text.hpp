// Text shared by the window manager's files: names and titles compared as Win32 compares them,
// and handles as the trace writes them.
#pragma once

#include "window/winuser.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <string>

namespace velorin::window {

inline std::wstring upper(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towupper(c); });
    return text;
}

inline bool sameTextNoCase(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && upper(a) == upper(b);
}

inline std::string hex(HWND hwnd)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    return buf;
}

}  // namespace velorin::window
