// Graphics of the device: device contexts, bitmaps, brushes, pens, copies and text.
#pragma once

#include "kernel/windef.h"
#include "kernel/winerror.h"

// Raster operations (BitBlt).
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Stock objects (GetStockObject).
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int SYSTEM_FONT = 13;

// Pen styles (CreatePen).
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_NULL = 5;

// Brush styles (LOGBRUSH).
inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// DrawTextW formats.
inline constexpr UINT DT_TOP = 0x0000;
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_CALCRECT = 0x0400;
inline constexpr UINT DT_NOPREFIX = 0x0800;

// ExtTextOutW options.
inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// GetObjectW of a bitmap. The record is 24 bytes on a 32-bit target and 32 with a 64-bit
// pointer; a buffer smaller than the whole record gets nothing, as on Windows, so a program
// passes sizeof(BITMAP), never a number.
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};
using PBITMAP = BITMAP*;
using LPBITMAP = BITMAP*;

// GetObjectW of a brush.
struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    LONG lbHatch;
};

// Device contexts. GetDC and ReleaseDC give a window's client area for a while; BeginPaint
// and EndPaint (the window manager's) do the same for painting.
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

// Objects.
HGDIOBJ GetStockObject(int fnObject);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ hgdiobj);
BOOL DeleteObject(HGDIOBJ hObject);
int GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject);
HBRUSH CreateSolidBrush(COLORREF crColor);
HPEN CreatePen(int fnPenStyle, int nWidth, COLORREF crColor);
HBITMAP CreateCompatibleBitmap(HDC hdc, int nWidth, int nHeight);
// Only 24 bits a pixel, one plane: rows top down, blue, green, red, each row padded to an even
// number of bytes; null bits give a black bitmap.
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT cPlanes, UINT cBitsPerPel, const void* lpvBits);

// Drawing.
BOOL Rectangle(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect);
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
BOOL BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc, int nXSrc, int nYSrc,
            DWORD dwRop);
// hSrc is a device context or a bitmap. Pixels of the transparent colour leave the destination
// as it is; different sizes stretch by the nearest pixel.
BOOL TransparentImage(HDC hdcDest, LONG DstX, LONG DstY, LONG DstCx, LONG DstCy, HANDLE hSrc, LONG SrcX, LONG SrcY,
                      LONG SrcCx, LONG SrcCy, COLORREF TransparentColor);
COLORREF GetPixel(HDC hdc, int nXPos, int nYPos);
COLORREF SetPixel(HDC hdc, int X, int Y, COLORREF crColor);

// The system's HANDLE takes any handle; here handles are distinct types, so these forward a
// device context or a bitmap as the source.
inline BOOL TransparentImage(HDC hdcDest, LONG DstX, LONG DstY, LONG DstCx, LONG DstCy, HDC hSrc, LONG SrcX, LONG SrcY,
                             LONG SrcCx, LONG SrcCy, COLORREF TransparentColor)
{
    return TransparentImage(hdcDest, DstX, DstY, DstCx, DstCy, reinterpret_cast<HANDLE>(hSrc), SrcX, SrcY, SrcCx, SrcCy,
                            TransparentColor);
}
inline BOOL TransparentImage(HDC hdcDest, LONG DstX, LONG DstY, LONG DstCx, LONG DstCy, HBITMAP hSrc, LONG SrcX,
                             LONG SrcY, LONG SrcCx, LONG SrcCy, COLORREF TransparentColor)
{
    return TransparentImage(hdcDest, DstX, DstY, DstCx, DstCy, reinterpret_cast<HANDLE>(static_cast<HGDIOBJ>(hSrc)),
                            SrcX, SrcY, SrcCx, SrcCy, TransparentColor);
}

// Text, in the device's one UI font.
COLORREF SetTextColor(HDC hdc, COLORREF crColor);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF crColor);
int SetBkMode(HDC hdc, int iBkMode);
int DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, LPRECT lpRect, UINT uFormat);
// Text at (X, Y) as its top left corner; lpDx is not used (the font's own advances are).
BOOL ExtTextOutW(HDC hdc, int X, int Y, UINT fuOptions, const RECT* lprc, LPCWSTR lpszString, UINT cbCount,
                 const int* lpDx);
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, SIZE* lpSize);
