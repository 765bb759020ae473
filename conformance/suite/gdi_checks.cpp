// Graphics, compared as pixels: FillRect and solid brushes, Rectangle with pen and brush,
// BitBlt, TransparentImage, SetPixel and GetPixel, GetObjectW's sizes, SelectObject; the screen's
// DC; bitmaps of each depth, monochrome ones against colour ones; pattern brushes; raster
// operations; StretchBlt.
#include "report.hpp"
#include "test_window.hpp"

#include <cstdio>

namespace conformance {

namespace {

constexpr char kGroup[] = "gdi";

std::string Colour(COLORREF colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// A memory context with a bitmap of a window's kind selected, cleared to white.
struct Canvas {
    Canvas(int width, int height)
    {
        HWND window = MakeWindow(L"Conformance Canvas");
        HDC reference = GetDC(window);
        dc = CreateCompatibleDC(reference);
        bitmap = CreateCompatibleBitmap(reference, width, height);
        ReleaseDC(window, reference);
        DestroyWindow(window);
        previous = SelectObject(dc, bitmap);
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    std::string Row(int y, int from, int to) const
    {
        std::string out;
        for (int x = from; x < to; ++x)
            out += (out.empty() ? "" : " ") + Colour(GetPixel(dc, x, y));
        return out;
    }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};


// A memory context holding `bitmap` until it ends.
struct Selected {
    Selected(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)), previous(SelectObject(dc, bitmap)) {}
    ~Selected()
    {
        if (previous)
            SelectObject(dc, previous);
        DeleteDC(dc);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

    HDC dc;
    HGDIOBJ previous;
};

std::string Bits(HDC dc, int y, int width)
{
    std::string out;
    for (int x = 0; x < width; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        out += c == RGB(0, 0, 0) ? "0" : c == RGB(255, 255, 255) ? "1" : "?";
    }
    return out;
}

std::string Shape(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
        return "fail";
    return Number(info.bmWidth) + "x" + Number(info.bmHeight) + "/" + Number(info.bmBitsPixel) + "/" +
           Number(info.bmWidthBytes);
}

void RunScreenChecks()
{
    HDC screen = GetDC(nullptr);
    const COLORREF set = SetPixel(screen, 5, 5, RGB(0x12, 0x34, 0x56));
    const COLORREF got = GetPixel(screen, 5, 5);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT part{10, 10, 12, 12};
    FillRect(screen, &part, red);
    Canvas copy(2, 1);
    BitBlt(copy.dc, 0, 0, 2, 1, screen, 10, 10, SRCCOPY);
    const int released = ReleaseDC(nullptr, screen);
    Report(kGroup, "screen_dc",
           YesNo(screen != nullptr) + " " + Colour(set) + " " + Colour(got) + " " + copy.Row(0, 0, 2) + " " +
               Number(released));
    DeleteObject(red);
}

void RunBitmapChecks()
{
    std::string depths;
    for (UINT depth : {1u, 3u, 4u, 5u, 8u, 15u, 16u, 24u, 32u, 33u}) {
        HBITMAP bitmap = CreateBitmap(3, 2, 1, depth, nullptr);
        depths += (depths.empty() ? "" : " ") + Number(depth) + ":" + Shape(bitmap);
        DeleteObject(bitmap);
    }
    Report(kGroup, "create_bitmap_depths", depths);
    std::string widths;
    for (int width : {1, 7, 9, 17})
        for (UINT depth : {1u, 4u, 8u, 16u, 24u, 32u}) {
            HBITMAP bitmap = CreateBitmap(width, 1, 1, depth, nullptr);
            BITMAP info{};
            GetObjectW(bitmap, sizeof info, &info);
            widths += (widths.empty() ? "" : " ") + Number(info.bmWidthBytes);
            DeleteObject(bitmap);
        }
    Report(kGroup, "create_bitmap_row_bytes", widths);
    std::string odd;
    for (const POINT size : {POINT{-3, 2}, POINT{3, -2}, POINT{0, 0}, POINT{-1, 0}}) {
        SetLastError(0);
        HBITMAP bitmap = CreateBitmap(size.x, size.y, 1, 1, nullptr);
        odd += (odd.empty() ? "" : " ") + Shape(bitmap) + (bitmap ? "" : " " + Error(GetLastError()));
        DeleteObject(bitmap);
    }
    SetLastError(0);
    HBITMAP planes = CreateBitmap(1, 1, 2, 1, nullptr);
    Report(kGroup, "create_bitmap_odd_sizes", odd + " | planes 2 " + YesNo(planes != nullptr) + " " + Error(GetLastError()));
    HBITMAP two = CreateBitmap(3, 2, 1, 2, nullptr);
    Report(kGroup, "create_bitmap_two_bits", Shape(two));
    DeleteObject(two);

    // A new memory DC holds the stock 1 x 1 monochrome bitmap, which an empty size gives too.
    HBITMAP probe = CreateBitmap(1, 1, 1, 1, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP stock = static_cast<HBITMAP>(SelectObject(memory, probe));
    SelectObject(memory, stock);
    HBITMAP empty = CreateBitmap(0, 1, 1, 24, nullptr);
    HBITMAP emptyCompatible = CreateCompatibleBitmap(memory, 0, 0);
    HBITMAP compatible = CreateCompatibleBitmap(memory, 3, 3);
    Report(kGroup, "stock_bitmap",
           Shape(stock) + " " + YesNo(empty == stock) + " " + YesNo(emptyCompatible == stock) + " " +
               Shape(compatible));
    DeleteObject(compatible);
    DeleteObject(probe);
    DeleteDC(memory);

    // Monochrome bits: 1 is white; colours set go to the nearer of black and white.
    const BYTE rows[] = {0xF0, 0x0F, 0xAA, 0x55};
    HBITMAP mono = CreateBitmap(16, 2, 1, 1, rows);
    Selected bits(mono);
    Report(kGroup, "mono_bits", YesNo(bits.previous != nullptr) + " " + Bits(bits.dc, 0, 16) + " " + Bits(bits.dc, 1, 16));
    std::string set;
    for (COLORREF c : {RGB(0x12, 0x34, 0x56), RGB(0x80, 0x80, 0x80), RGB(0x7F, 0x7F, 0x7F), RGB(255, 0, 0),
                       RGB(0xC0, 0xC0, 0xC0), RGB(255, 255, 255)})
        set += (set.empty() ? "" : " ") + Colour(SetPixel(bits.dc, 15, 1, c));
    Report(kGroup, "mono_set_pixel", set + " " + Colour(GetPixel(bits.dc, 15, 1)));
    SetPixel(bits.dc, 15, 1, RGB(255, 255, 255));

    // Into colour, 0 bits take the destination's text colour and 1 bits its background colour.
    Canvas colour(16, 2);
    SetTextColor(colour.dc, RGB(255, 0, 0));
    SetBkColor(colour.dc, RGB(0, 0, 255));
    SetTextColor(bits.dc, RGB(0, 255, 0));
    SetBkColor(bits.dc, RGB(255, 255, 0));
    BitBlt(colour.dc, 0, 0, 16, 2, bits.dc, 0, 0, SRCCOPY);
    Report(kGroup, "mono_to_colour", colour.Row(0, 0, 5) + " | " + colour.Row(1, 0, 2));
    // Into monochrome, the source's background colour is white and every other colour black.
    SetPixel(colour.dc, 0, 0, RGB(1, 2, 3));
    SetPixel(colour.dc, 1, 0, RGB(255, 255, 255));
    SetPixel(colour.dc, 2, 0, RGB(0, 0, 0));
    SetPixel(colour.dc, 3, 0, RGB(9, 9, 9));
    SetBkColor(colour.dc, RGB(1, 2, 3));
    BitBlt(bits.dc, 0, 0, 4, 1, colour.dc, 0, 0, SRCCOPY);
    Report(kGroup, "colour_to_mono", Bits(bits.dc, 0, 4));

    // Bitmaps of other depths than the screen's go into a memory DC on the device.
    std::string selected;
    for (UINT depth : {2u, 4u, 8u, 16u, 24u, 32u}) {
        HBITMAP bitmap = CreateBitmap(2, 1, 1, depth, nullptr);
        Selected into(bitmap);
        selected += (selected.empty() ? "" : " ") + Number(depth) + ":" +
                    (into.previous ? Colour(SetPixel(into.dc, 0, 0, RGB(0x12, 0x34, 0x56))) : "no");
        SelectObject(into.dc, into.previous);
        into.previous = nullptr;
        DeleteObject(bitmap);
    }
    Report(kGroup, "select_depths", selected);
    SelectObject(bits.dc, bits.previous);
    bits.previous = nullptr;
    DeleteObject(mono);
}

void RunPatternBrushChecks()
{
    const BYTE diagonal[] = {0x80, 0, 0x40, 0, 0x20, 0, 0x10, 0, 0x08, 0, 0x04, 0, 0x02, 0, 0x01, 0};
    HBITMAP mono = CreateBitmap(8, 8, 1, 1, diagonal);
    HBRUSH brush = CreatePatternBrush(mono);
    LOGBRUSH info{};
    const int size = GetObjectW(brush, sizeof info, &info);
    Report(kGroup, "pattern_brush_object",
           YesNo(size == static_cast<int>(sizeof info)) + " " + Number(info.lbStyle) + " " + Colour(info.lbColor) +
               " " + YesNo(static_cast<ULONG_PTR>(info.lbHatch) == reinterpret_cast<ULONG_PTR>(mono)));
    // The brush keeps its own copy: the bitmap may go.
    DeleteObject(mono);
    Canvas canvas(10, 2);
    SetTextColor(canvas.dc, RGB(255, 0, 0));
    SetBkColor(canvas.dc, RGB(0, 0, 255));
    const RECT all{0, 0, 10, 2};
    FillRect(canvas.dc, &all, brush);
    Report(kGroup, "pattern_brush_mono", canvas.Row(0, 0, 3) + " | " + canvas.Row(1, 0, 3) + " | " + canvas.Row(0, 8, 10));

    // A colour pattern lines up with the DC's origin, not with the rectangle.
    Canvas tile(2, 2);
    SetPixel(tile.dc, 0, 0, RGB(10, 20, 30));
    SetPixel(tile.dc, 1, 0, RGB(40, 50, 60));
    SetPixel(tile.dc, 0, 1, RGB(70, 80, 90));
    SetPixel(tile.dc, 1, 1, RGB(100, 110, 120));
    SelectObject(tile.dc, tile.previous);
    HBRUSH colour = CreatePatternBrush(tile.bitmap);
    SelectObject(tile.dc, tile.bitmap);
    const RECT part{1, 0, 4, 2};
    FillRect(canvas.dc, &part, colour);
    HGDIOBJ old = SelectObject(canvas.dc, colour);
    BitBlt(canvas.dc, 6, 0, 2, 2, nullptr, 0, 0, PATCOPY);
    Rectangle(canvas.dc, 8, 0, 10, 2);
    SelectObject(canvas.dc, old);
    Report(kGroup, "pattern_brush_colour", canvas.Row(0, 0, 10) + " | " + canvas.Row(1, 0, 3));
    DeleteObject(colour);
    DeleteObject(brush);
}

void RunObjectChecks()
{
    std::string brushes;
    for (int stock : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH}) {
        LOGBRUSH info{};
        const int size = GetObjectW(GetStockObject(stock), sizeof info, &info);
        brushes += (brushes.empty() ? "" : " ") + YesNo(size == static_cast<int>(sizeof info)) + "/" +
                   Number(info.lbStyle) + "/" + Colour(info.lbColor);
    }
    Report(kGroup, "stock_brush_objects", brushes);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    BITMAP bm[2] = {};
    LOGBRUSH lb[2] = {};
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    // Sizes as parts of the record, whose length differs with the pointer's.
    const auto part = [](int got, std::size_t whole) {
        return got == static_cast<int>(whole) ? std::string("all") : got == static_cast<int>(whole) - 1 ? "all-1" : Number(got);
    };
    Report(kGroup, "get_object_buffer_sizes",
           part(GetObjectW(bitmap, sizeof bm, bm), sizeof bm[0]) + " " + part(GetObjectW(bitmap, 0, bm), sizeof bm[0]) +
               " " + part(GetObjectW(bitmap, 1, bm), sizeof bm[0]) + " | " +
               part(GetObjectW(brush, sizeof lb, lb), sizeof lb[0]) + " " + part(GetObjectW(brush, 0, lb), sizeof lb[0]) +
               " " + part(GetObjectW(brush, sizeof lb[0] - 1, lb), sizeof lb[0]) + " " +
               part(GetObjectW(brush, 0, nullptr), sizeof lb[0]) + " " + Colour(lb[0].lbColor));
    DeleteObject(brush);
    DeleteObject(bitmap);
    std::string pens;
    HPEN made[] = {CreatePen(PS_SOLID, 3, RGB(1, 2, 3)), CreatePen(PS_SOLID, 0, RGB(1, 2, 3)),
                   CreatePen(PS_SOLID, -2, RGB(1, 2, 3)), CreatePen(PS_NULL, 3, RGB(1, 2, 3))};
    for (HGDIOBJ pen : {static_cast<HGDIOBJ>(made[0]), static_cast<HGDIOBJ>(made[1]), static_cast<HGDIOBJ>(made[2]),
                        static_cast<HGDIOBJ>(made[3]), GetStockObject(BLACK_PEN), GetStockObject(WHITE_PEN),
                        GetStockObject(NULL_PEN)}) {
        LOGPEN info{};
        const int size = GetObjectW(pen, sizeof info, &info);
        pens += (pens.empty() ? "" : " ") + YesNo(size == static_cast<int>(sizeof info)) + "/" + Number(info.lopnStyle) +
                "/" + Number(info.lopnWidth.x) + "/" + Colour(info.lopnColor) + "/" +
                Number(GetObjectW(pen, sizeof info - 1, &info));
    }
    Report(kGroup, "get_object_pen", pens);
    for (HPEN pen : made)
        DeleteObject(pen);
    // A deleted object has no record left.
    Report(kGroup, "get_object_deleted",
           Number(GetObjectW(bitmap, sizeof bm, bm)) + " " + Number(GetObjectW(brush, sizeof lb, lb)));
}

void RunRasterChecks()
{
    struct Named {
        const char* name;
        DWORD rop;
    };
    const Named rops[] = {{"SRCCOPY", SRCCOPY},     {"SRCPAINT", SRCPAINT},       {"SRCAND", SRCAND},
                          {"SRCINVERT", SRCINVERT}, {"SRCERASE", SRCERASE},       {"NOTSRCCOPY", NOTSRCCOPY},
                          {"NOTSRCERASE", NOTSRCERASE}, {"MERGECOPY", MERGECOPY}, {"MERGEPAINT", MERGEPAINT},
                          {"PATCOPY", PATCOPY},     {"PATPAINT", PATPAINT},       {"PATINVERT", PATINVERT},
                          {"DSTINVERT", DSTINVERT}, {"BLACKNESS", BLACKNESS},     {"WHITENESS", WHITENESS},
                          {"0x12345678", 0x12345678}};
    Canvas source(1, 1);
    SetPixel(source.dc, 0, 0, RGB(0xF0, 0x0F, 0x33));
    Canvas target(1, 1);
    HBRUSH pattern = CreateSolidBrush(RGB(0xCC, 0x55, 0x0F));
    HGDIOBJ old = SelectObject(target.dc, pattern);
    std::string out;
    for (const Named& r : rops) {
        SetPixel(target.dc, 0, 0, RGB(0xAA, 0x3C, 0x66));
        const BOOL ok = BitBlt(target.dc, 0, 0, 1, 1, source.dc, 0, 0, r.rop);
        out += (out.empty() ? "" : " ") + std::string(r.name) + "=" + (ok ? Colour(GetPixel(target.dc, 0, 0)) : "fail");
    }
    Report(kGroup, "bitblt_rops", out);
    SelectObject(target.dc, old);
    DeleteObject(pattern);
}

void RunStretchChecks()
{
    Canvas modes(1, 1);
    const int initial = GetStretchBltMode(modes.dc);
    const int first = SetStretchBltMode(modes.dc, COLORONCOLOR);
    const int none = SetStretchBltMode(modes.dc, 0);
    SetLastError(0);
    const int bad = SetStretchBltMode(modes.dc, 9);
    const DWORD badError = GetLastError();
    Report(kGroup, "stretch_mode",
           Number(initial) + " " + Number(first) + " " + Number(none) + " " + Number(bad) + " " + Error(badError) +
               " " + Number(GetStretchBltMode(modes.dc)));

    // A row of sixteen greys, 1 to 16, read back as their numbers.
    Canvas source(16, 2);
    for (int x = 0; x < 16; ++x) {
        SetPixel(source.dc, x, 0, RGB(x + 1, x + 1, x + 1));
        SetPixel(source.dc, x, 1, RGB(0x40 + x, 0x40 + x, 0x40 + x));
    }
    Canvas target(16, 2);
    const auto stretch = [&](int x, int y, int w, int h, int sx, int sw, int sh, DWORD rop = SRCCOPY) {
        const RECT all{0, 0, 16, 2};
        FillRect(target.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        const BOOL ok = StretchBlt(target.dc, x, y, w, h, source.dc, sx, 0, sw, sh, rop);
        std::string row;
        for (int i = 0; i < 16; ++i)
            row += (i ? "," : "") + Number(GetRValue(GetPixel(target.dc, i, 0)));
        return (ok ? "" : "fail ") + row;
    };
    std::string grown;
    for (int to : {8, 7, 16})
        grown += (grown.empty() ? "" : " | ") + stretch(0, 0, to, 1, 0, to == 16 ? 5 : 4, 1);
    Report(kGroup, "stretch_blt_grow", grown);
    for (int mode : {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR}) {
        SetStretchBltMode(target.dc, mode);
        std::string shrunk;
        for (int from : {4, 5, 7, 16})
            shrunk += (shrunk.empty() ? "" : " | ") + stretch(0, 0, from == 16 ? 5 : from - 2, 1, 0, from, 1);
        Report(kGroup, ("stretch_blt_shrink_mode" + Number(mode)).c_str(), shrunk);
    }
    SetStretchBltMode(target.dc, COLORONCOLOR);
    Report(kGroup, "stretch_blt_mirror",
           stretch(3, 0, -4, 1, 0, 4, 1) + " | " + stretch(0, 0, 4, 1, 3, -4, 1) + " | " + stretch(4, 0, -4, 1, 3, -4, 1) +
               " | " + stretch(7, 0, -8, 1, 0, 4, 1));
    // Two rows into one, and one upside down: the row kept is the one Windows keeps.
    Report(kGroup, "stretch_blt_rows",
           stretch(0, 0, 4, 1, 0, 4, 2) + " | " + stretch(0, 1, 4, -2, 0, 4, 2) + " | " +
               stretch(0, 0, 8, 1, 0, 4, 1, SRCINVERT));
    Report(kGroup, "stretch_blt_empty",
           stretch(0, 0, 0, 1, 0, 4, 1) + " | " + stretch(0, 0, 2, 1, 0, 0, 1) + " | " +
               YesNo(StretchBlt(target.dc, 0, 0, 2, 1, nullptr, 0, 0, 4, 1, SRCCOPY)) + " " +
               YesNo(StretchBlt(target.dc, 0, 0, 2, 1, nullptr, 0, 0, 4, 1, PATCOPY)));

    // A monochrome source stretched into colour takes the destination's colours.
    const BYTE rows[] = {0xA0, 0};
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, rows);
    Selected bits(mono);
    SetTextColor(target.dc, RGB(255, 0, 0));
    SetBkColor(target.dc, RGB(0, 0, 255));
    StretchBlt(target.dc, 0, 0, 8, 1, bits.dc, 0, 0, 4, 1, SRCCOPY);
    Report(kGroup, "stretch_blt_mono", target.Row(0, 0, 8));
    SelectObject(bits.dc, bits.previous);
    bits.previous = nullptr;
    DeleteObject(mono);
}

}  // namespace

void RunGdiChecks()
{
    Canvas canvas(16, 16);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT part{2, 2, 5, 5};
    FillRect(canvas.dc, &part, red);
    Report(kGroup, "fill_rect", canvas.Row(2, 0, 6) + " | " + canvas.Row(5, 1, 3));

    HPEN bluePen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ oldPen = SelectObject(canvas.dc, bluePen);
    HGDIOBJ oldBrush = SelectObject(canvas.dc, red);
    Rectangle(canvas.dc, 8, 8, 12, 12);
    Report(kGroup, "rectangle_pen_and_brush",
           canvas.Row(8, 7, 13) + " | " + canvas.Row(10, 7, 13) + " | " + canvas.Row(12, 7, 13));
    const bool penBack = SelectObject(canvas.dc, oldPen) == bluePen;
    const bool brushBack = SelectObject(canvas.dc, oldBrush) == red;
    Report(kGroup, "select_returns_previous", YesNo(penBack) + " " + YesNo(brushBack));

    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(canvas.dc, 0, 12, 4, 16);
    Report(kGroup, "rectangle_without_pen", canvas.Row(12, 0, 5) + " | " + canvas.Row(14, 0, 5));
    SelectObject(canvas.dc, oldPen);
    SelectObject(canvas.dc, oldBrush);

    SetPixel(canvas.dc, 15, 0, RGB(1, 2, 3));
    Report(kGroup, "set_and_get_pixel", Colour(GetPixel(canvas.dc, 15, 0)));

    Canvas copy(16, 16);
    BitBlt(copy.dc, 0, 0, 6, 6, canvas.dc, 0, 0, SRCCOPY);
    Report(kGroup, "bitblt", copy.Row(2, 0, 7));

    // The colour key leaves the destination's pixels; the others are copied.
    Canvas keyed(8, 1);
    const RECT green{0, 0, 8, 1};
    HBRUSH greenBrush = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(keyed.dc, &green, greenBrush);
    SetPixel(keyed.dc, 1, 0, RGB(255, 255, 255));
    SetPixel(keyed.dc, 2, 0, RGB(0, 0, 0));
    Canvas target(8, 1);
    const RECT grey{0, 0, 8, 1};
    HBRUSH greyBrush = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(target.dc, &grey, greyBrush);
    TransparentImage(target.dc, 0, 0, 4, 1, reinterpret_cast<HANDLE>(keyed.dc), 0, 0, 4, 1, RGB(0, 255, 0));
    Report(kGroup, "transparent_image", target.Row(0, 0, 5));
    DeleteObject(greenBrush);
    DeleteObject(greyBrush);

    BITMAP info{};
    const int got = GetObjectW(canvas.bitmap, sizeof info, &info);
    Report(kGroup, "get_object_bitmap",
           YesNo(got == static_cast<int>(sizeof info)) + " " + Number(info.bmWidth) + "x" + Number(info.bmHeight) +
               " planes " + Number(info.bmPlanes));
    Report(kGroup, "get_object_bitmap_short_buffer", Number(GetObjectW(canvas.bitmap, sizeof info - 1, &info)));
    Report(kGroup, "get_object_bitmap_size_only",
           YesNo(GetObjectW(canvas.bitmap, 0, nullptr) == static_cast<int>(sizeof(BITMAP))));
    LOGBRUSH brush{};
    const int brushSize = GetObjectW(red, sizeof brush, &brush);
    Report(kGroup, "get_object_brush",
           YesNo(brushSize == static_cast<int>(sizeof brush)) + " " + Number(brush.lbStyle) + " " +
               Colour(brush.lbColor));
    Report(kGroup, "stock_objects",
           YesNo(GetStockObject(BLACK_BRUSH) != nullptr) + " " + YesNo(GetStockObject(NULL_PEN) != nullptr) + " " +
               YesNo(GetStockObject(BLACK_BRUSH) == GetStockObject(BLACK_BRUSH)));
    DeleteObject(bluePen);
    DeleteObject(red);

    RunScreenChecks();
    RunBitmapChecks();
    RunPatternBrushChecks();
    RunObjectChecks();
    RunRasterChecks();
    RunStretchChecks();
}

}  // namespace conformance
