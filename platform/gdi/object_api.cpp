// Graphics objects: stock objects, brushes, pens, bitmaps, selection and deletion.
#include "gdi/gdi_call.hpp"
#include "gdi/wingdi.h"

using velorin::gdi::Gdi;
using velorin::gdi::gdiCall;
using velorin::kernel::GdiObjectHandle;

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
    return gdiCall(
        "CreateBitmap", HBITMAP{}, ERROR_NOT_ENOUGH_MEMORY,
        [&](Gdi& gdi) { return gdi.createBitmapLocked(nWidth, nHeight, cPlanes, cBitsPerPel, lpvBits); }, nWidth,
        nHeight, cPlanes, cBitsPerPel, lpvBits);
}

HBRUSH CreatePatternBrush(HBITMAP hbmp)
{
    return gdiCall(
        "CreatePatternBrush", HBRUSH{}, ERROR_NOT_ENOUGH_MEMORY,
        [&](Gdi& gdi) { return gdi.createPatternBrushLocked(hbmp); }, GdiObjectHandle{hbmp});
}
