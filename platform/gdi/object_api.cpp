// Graphics objects: stock objects, brushes, pens, bitmaps, selection and deletion.
#include "gdi/gdi_call.hpp"
#include "gdi/wingdi.h"

#include <cstring>

using velorin::gdi::Gdi;
using velorin::gdi::gdiCall;
using velorin::gdi::Surface;
using velorin::gdi::withGdi;
using velorin::kernel::GdiObjectHandle;
using velorin::kernel::platformCall;

namespace {

constexpr std::size_t kMaxBitmapBytes = 64u << 20;

// The pixels of CreateBitmap's 24-bit rows: blue, green, red, each row padded to even bytes.
Surface pixelsFromBits(int width, int height, const void* bits)
{
    Surface pixels(width, height);
    if (!bits)
        return pixels;
    const auto* bytes = static_cast<const unsigned char*>(bits);
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 1) / 2 * 2;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = bytes + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = row + 3 * static_cast<std::size_t>(x);
            pixels.setPixel(x, y, velorin::gdi::rgb(p[2], p[1], p[0]));
        }
    }
    return pixels;
}

}  // namespace

HGDIOBJ GetStockObject(int fnObject)
{
    return gdiCall(
               "GetStockObject", GdiObjectHandle{}, ERROR_INVALID_PARAMETER,
               [&](Gdi& gdi) { return GdiObjectHandle{gdi.stockObjectLocked(fnObject)}; }, fnObject)
        .value;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ hgdiobj)
{
    return gdiCall(
               "SelectObject", GdiObjectHandle{}, ERROR_INVALID_HANDLE,
               [&](Gdi& gdi) { return GdiObjectHandle{gdi.selectObjectLocked(hdc, hgdiobj)}; }, hdc,
               GdiObjectHandle{hgdiobj})
        .value;
}

BOOL DeleteObject(HGDIOBJ hObject)
{
    return gdiCall(
        "DeleteObject", FALSE, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) { return gdi.deleteObjectLocked(hObject) ? TRUE : FALSE; }, GdiObjectHandle{hObject});
}

int GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject)
{
    return gdiCall(
        "GetObjectW", 0, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) { return gdi.getObjectLocked(hgdiobj, cbBuffer, lpvObject); }, GdiObjectHandle{hgdiobj},
        cbBuffer, lpvObject);
}

HBRUSH CreateSolidBrush(COLORREF crColor)
{
    return gdiCall(
        "CreateSolidBrush", HBRUSH{}, ERROR_NOT_ENOUGH_MEMORY,
        [&](Gdi& gdi) { return gdi.createSolidBrushLocked(crColor); }, crColor);
}

HPEN CreatePen(int fnPenStyle, int nWidth, COLORREF crColor)
{
    return gdiCall(
        "CreatePen", HPEN{}, ERROR_NOT_ENOUGH_MEMORY,
        [&](Gdi& gdi) { return gdi.createPenLocked(fnPenStyle, nWidth, crColor); }, fnPenStyle, nWidth, crColor);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int nWidth, int nHeight)
{
    return gdiCall(
        "CreateCompatibleBitmap", HBITMAP{}, ERROR_NOT_ENOUGH_MEMORY,
        [&](Gdi& gdi) { return gdi.createCompatibleBitmapLocked(hdc, nWidth, nHeight); }, hdc, nWidth, nHeight);
}

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT cPlanes, UINT cBitsPerPel, const void* lpvBits)
{
    return platformCall(
        "CreateBitmap", HBITMAP{}, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> HBITMAP {
            if (nWidth <= 0 || nHeight <= 0 || cPlanes != 1 || cBitsPerPel != 24) {
                velorin::kernel::setLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            if (static_cast<std::size_t>(nWidth) * static_cast<std::size_t>(nHeight) * 3 > kMaxBitmapBytes) {
                velorin::kernel::setLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
            Surface pixels = pixelsFromBits(nWidth, nHeight, lpvBits);
            return withGdi([&](Gdi& gdi) { return gdi.createBitmapLocked(std::move(pixels)); });
        },
        nWidth, nHeight, cPlanes, cBitsPerPel, lpvBits);
}
