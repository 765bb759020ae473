// Resources: bitmaps, icons and strings from the program's module, and what is missing.
#include "conformance_resource.h"
#include "report.hpp"

#include <cstdio>

namespace conformance {

namespace {

constexpr char kGroup[] = "resources";

std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (const wchar_t* c = text; *c; ++c)
        narrow += static_cast<char>(*c);
    return narrow;
}

}  // namespace

void RunResourceChecks()
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    HBITMAP bitmap = LoadBitmapW(module, MAKEINTRESOURCEW(IDB_CONFORMANCE));
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    Report(kGroup, "load_bitmap", YesNo(bitmap != nullptr) + " " + Number(info.bmWidth) + "x" + Number(info.bmHeight));
    // The gauge's top and bottom: its colours survive the load as they are.
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const COLORREF top = GetPixel(memory, 5, 2);
    const COLORREF bottom = GetPixel(memory, 5, info.bmHeight - 3);
    SelectObject(memory, previous);
    DeleteDC(memory);
    char colours[32];
    std::snprintf(colours, sizeof colours, "%06lx %06lx", static_cast<unsigned long>(top),
                  static_cast<unsigned long>(bottom));
    Report(kGroup, "bitmap_pixels", colours);
    DeleteObject(bitmap);
    Report(kGroup, "load_missing_bitmap", YesNo(LoadBitmapW(module, MAKEINTRESOURCEW(999)) != nullptr));

    HICON icon = LoadIconW(module, MAKEINTRESOURCEW(IDI_CONFORMANCE));
    const bool shared = LoadIconW(module, MAKEINTRESOURCEW(IDI_CONFORMANCE)) == icon;
    Report(kGroup, "load_icon", YesNo(icon != nullptr) + " " + YesNo(shared));
    Report(kGroup, "load_missing_icon", YesNo(LoadIconW(module, MAKEINTRESOURCEW(999)) != nullptr));

    // Whole, cut to the buffer, an empty slot of a table, and a table that is not there.
    wchar_t text[64] = L"";
    const int whole = LoadStringW(module, IDS_CONFORMANCE, text, 64);
    std::string loaded = Number(whole) + " " + Narrow(text);
    const int cut = LoadStringW(module, IDS_SECOND, text, 4);
    loaded += " / " + Number(cut) + " " + Narrow(text);
    const int empty = LoadStringW(module, IDS_SECOND + 1, text, 64);
    loaded += " / " + Number(empty) + " \"" + Narrow(text) + "\"";
    SetLastError(0);
    const int missing = LoadStringW(module, 999, text, 64);
    loaded += " / " + Number(missing) + " " + Error(GetLastError());
    Report(kGroup, "load_string", loaded);

    // A size of zero hands out the string itself, read-only: its length, and no nul to end it.
    const wchar_t* inPlace = nullptr;
    const int length = LoadStringW(module, IDS_CONFORMANCE, reinterpret_cast<LPWSTR>(&inPlace), 0);
    std::string pointed;
    for (int i = 0; inPlace && i < length; ++i)
        pointed += static_cast<char>(inPlace[i]);
    const wchar_t* missingInPlace = nullptr;
    const int missingLength = LoadStringW(module, 999, reinterpret_cast<LPWSTR>(&missingInPlace), 0);
    Report(kGroup, "load_string_in_place", Number(length) + " " + pointed + " / " + Number(missingLength));
}

}  // namespace conformance
