/* Graphics of the device: device contexts, bitmaps, brushes, pens, copies and text. */
#ifndef VELORIN_GDI_WINGDI_H
#define VELORIN_GDI_WINGDI_H

#include "kernel/windef.h"
#include "kernel/winerror.h"

/* Raster operations (BitBlt). */
#define SRCCOPY 0x00CC0020U
#define PATCOPY 0x00F00021U
#define BLACKNESS 0x00000042U
#define WHITENESS 0x00FF0062U

/* Stock objects (GetStockObject). */
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13

/* Pen styles (CreatePen). */
#define PS_SOLID 0
#define PS_NULL 5

/* Brush styles (LOGBRUSH). */
#define BS_SOLID 0U
#define BS_NULL 1U
#define BS_HOLLOW BS_NULL

/* Background modes. */
#define TRANSPARENT 1
#define OPAQUE 2

/* DrawTextW formats. */
#define DT_TOP 0x0000U
#define DT_LEFT 0x0000U
#define DT_CENTER 0x0001U
#define DT_RIGHT 0x0002U
#define DT_VCENTER 0x0004U
#define DT_BOTTOM 0x0008U
#define DT_WORDBREAK 0x0010U
#define DT_SINGLELINE 0x0020U
#define DT_NOCLIP 0x0100U
#define DT_CALCRECT 0x0400U
#define DT_NOPREFIX 0x0800U

/* ExtTextOutW options. */
#define ETO_OPAQUE 0x0002U
#define ETO_CLIPPED 0x0004U

#define CLR_INVALID 0xFFFFFFFFU

/* GetObjectW of a bitmap. The record is 24 bytes on a 32-bit target and 32 with a 64-bit
   pointer; a buffer smaller than the whole record gets nothing, as on Windows, so a program
   passes sizeof(BITMAP), never a number. */
typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP, *PBITMAP, *LPBITMAP;

/* GetObjectW of a brush. */
typedef struct tagLOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    LONG lbHatch;
} LOGBRUSH;

#ifdef __cplusplus
extern "C" {
#endif

/* Device contexts. GetDC and ReleaseDC give a window's client area for a while; BeginPaint
   and EndPaint (the window manager's) do the same for painting. */
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

/* Objects. */
HGDIOBJ GetStockObject(int fnObject);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ hgdiobj);
BOOL DeleteObject(HGDIOBJ hObject);
int GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject);
HBRUSH CreateSolidBrush(COLORREF crColor);
HPEN CreatePen(int fnPenStyle, int nWidth, COLORREF crColor);
HBITMAP CreateCompatibleBitmap(HDC hdc, int nWidth, int nHeight);
/* Only 24 bits a pixel, one plane: rows top down, blue, green, red, each row padded to an even
   number of bytes; null bits give a black bitmap. */
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT cPlanes, UINT cBitsPerPel, const void *lpvBits);

/* Drawing. */
BOOL Rectangle(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect);
int FillRect(HDC hDC, const RECT *lprc, HBRUSH hbr);
BOOL BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc, int nXSrc, int nYSrc,
            DWORD dwRop);
/* hSrc is a device context or a bitmap, cast to HANDLE (the device's HANDLE, unlike the
   system's void*, takes no other handle by itself). Pixels of the transparent colour leave the destination
   as it is; different sizes stretch by the nearest pixel. */
BOOL TransparentImage(HDC hdcDest, LONG DstX, LONG DstY, LONG DstCx, LONG DstCy, HANDLE hSrc, LONG SrcX, LONG SrcY,
                      LONG SrcCx, LONG SrcCy, COLORREF TransparentColor);
COLORREF GetPixel(HDC hdc, int nXPos, int nYPos);
COLORREF SetPixel(HDC hdc, int X, int Y, COLORREF crColor);

/* Text, in the device's one UI font. */
COLORREF SetTextColor(HDC hdc, COLORREF crColor);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF crColor);
int SetBkMode(HDC hdc, int iBkMode);
int DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, LPRECT lpRect, UINT uFormat);
/* Text at (X, Y) as its top left corner; lpDx is not used (the font's own advances are). */
BOOL ExtTextOutW(HDC hdc, int X, int Y, UINT fuOptions, const RECT *lprc, LPCWSTR lpszString, UINT cbCount,
                 const int *lpDx);
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, SIZE *lpSize);

#ifdef __cplusplus
}
#endif

#endif
