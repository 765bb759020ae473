// Graphics, compared as pixels: FillRect and solid brushes, Rectangle with pen and brush,
// BitBlt, TransparentImage, SetPixel and GetPixel, GetObjectW's sizes, SelectObject.
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
}

}  // namespace conformance
