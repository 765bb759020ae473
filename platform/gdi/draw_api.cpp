// Drawing: Rectangle, FillRect, BitBlt, StretchBlt and its mode, TransparentImage, GetPixel, SetPixel.
#include "gdi/gdi_call.hpp"
#include "gdi/wingdi.h"

using velorin::gdi::BlitExtent;
using velorin::gdi::Gdi;
using velorin::gdi::gdiCall;

BOOL Rectangle(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect)
{
    return gdiCall(
        "Rectangle", FALSE, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) {
            return gdi.rectangleLocked(hdc, RECT{nLeftRect, nTopRect, nRightRect, nBottomRect}) ? TRUE : FALSE;
        },
        hdc, nLeftRect, nTopRect, nRightRect, nBottomRect);
}

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    return gdiCall(
        "FillRect", 0, ERROR_INVALID_PARAMETER,
        [&](Gdi& gdi) {
            if (!lprc) {
                velorin::kernel::setLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            return gdi.fillRectLocked(hDC, *lprc, hbr) ? 1 : 0;
        },
        hDC, lprc, hbr);
}

BOOL BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc, int nXSrc, int nYSrc, DWORD dwRop)
{
    return gdiCall(
        "BitBlt", FALSE, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) {
            return gdi.bitBltLocked(hdcDest, POINT{nXDest, nYDest}, SIZE{nWidth, nHeight}, hdcSrc, POINT{nXSrc, nYSrc},
                                    dwRop)
                       ? TRUE
                       : FALSE;
        },
        hdcDest, nXDest, nYDest, nWidth, nHeight, hdcSrc, nXSrc, nYSrc, dwRop);
}

BOOL TransparentImage(HDC hdcDest, LONG DstX, LONG DstY, LONG DstCx, LONG DstCy, HANDLE hSrc, LONG SrcX, LONG SrcY,
                      LONG SrcCx, LONG SrcCy, COLORREF TransparentColor)
{
    return gdiCall(
        "TransparentImage", FALSE, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) {
            const RECT to{DstX, DstY, DstX + DstCx, DstY + DstCy};
            const RECT from{SrcX, SrcY, SrcX + SrcCx, SrcY + SrcCy};
            return gdi.transparentImageLocked(hdcDest, to, hSrc, from, TransparentColor) ? TRUE : FALSE;
        },
        hdcDest, DstX, DstY, DstCx, DstCy, hSrc, SrcX, SrcY, SrcCx, SrcCy, TransparentColor);
}

BOOL StretchBlt(HDC hdcDest, int nXOriginDest, int nYOriginDest, int nWidthDest, int nHeightDest, HDC hdcSrc,
                int nXOriginSrc, int nYOriginSrc, int nWidthSrc, int nHeightSrc, DWORD dwRop)
{
    return gdiCall(
        "StretchBlt", FALSE, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) {
            const BlitExtent to{POINT{nXOriginDest, nYOriginDest}, SIZE{nWidthDest, nHeightDest}};
            const BlitExtent from{POINT{nXOriginSrc, nYOriginSrc}, SIZE{nWidthSrc, nHeightSrc}};
            return gdi.stretchBltLocked(hdcDest, to, hdcSrc, from, dwRop) ? TRUE : FALSE;
        },
        hdcDest, nXOriginDest, nYOriginDest, nWidthDest, nHeightDest, hdcSrc, nXOriginSrc, nYOriginSrc, nWidthSrc,
        nHeightSrc, dwRop);
}

int SetStretchBltMode(HDC hdc, int iStretchMode)
{
    return gdiCall(
        "SetStretchBltMode", 0, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) { return gdi.setStretchBltModeLocked(hdc, iStretchMode); }, hdc, iStretchMode);
}

int GetStretchBltMode(HDC hdc)
{
    return gdiCall(
        "GetStretchBltMode", 0, ERROR_INVALID_HANDLE, [&](Gdi& gdi) { return gdi.stretchBltModeLocked(hdc); }, hdc);
}

COLORREF GetPixel(HDC hdc, int nXPos, int nYPos)
{
    return gdiCall(
        "GetPixel", CLR_INVALID, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) {
            return gdi.getPixelLocked(hdc, POINT{nXPos, nYPos});
        },
        hdc, nXPos, nYPos);
}

COLORREF SetPixel(HDC hdc, int X, int Y, COLORREF crColor)
{
    return gdiCall(
        "SetPixel", CLR_INVALID, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) {
            return gdi.setPixelLocked(hdc, POINT{X, Y}, crColor);
        },
        hdc, X, Y, crColor);
}
