/* Graphics of the device: device contexts, bitmaps, brushes, pens, copies and text. */
#ifndef VELORIN_GDI_WINGDI_H
#define VELORIN_GDI_WINGDI_H

#include "kernel/windef.h"
#include "kernel/winerror.h"

/* Raster operations (BitBlt, StretchBlt): bits 16 to 23 give the result for each combination of
   pattern, source and destination; any such code is taken. */
#define SRCCOPY 0x00CC0020U
#define SRCPAINT 0x00EE0086U
#define SRCAND 0x008800C6U
#define SRCINVERT 0x00660046U
#define SRCERASE 0x00440328U
#define NOTSRCCOPY 0x00330008U
#define NOTSRCERASE 0x001100A6U
#define MERGECOPY 0x00C000CAU
#define MERGEPAINT 0x00BB0226U
#define PATCOPY 0x00F00021U
#define PATPAINT 0x00FB0A09U
#define PATINVERT 0x005A0049U
#define DSTINVERT 0x00550009U
#define BLACKNESS 0x00000042U
#define WHITENESS 0x00FF0062U

/* Stretching modes (SetStretchBltMode): how rows and columns dropped by a shrink are kept. */
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4

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
#define BS_PATTERN 3U

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

/* GetObjectW of a pen. */
typedef struct tagLOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
} LOGPEN;

#ifdef __cplusplus
extern "C" {
#endif

/* Device contexts. GetDC and ReleaseDC give a window's client area for a while, or with a null
   window the whole screen; BeginPaint and EndPaint (the window manager's) do the same for
   painting. */
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
/* One plane of 1, 2, 4, 8, 16, 24 or 32 bits a pixel (other counts up to 32 take the next of
   these); rows top down, each padded to an even number of bytes. 1 to 8 bits are indexes, the
   leftmost pixel in the high bits (1 bit: black and white; 2: four greys; 4: the VGA colours; 8:
   the default palette); 16 bits are 5-5-5 words, 24 blue, green, red, 32 blue, green, red and
   a spare byte. Null bits give a black bitmap; an empty size gives the stock 1 x 1 monochrome
   bitmap. */
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT cPlanes, UINT cBitsPerPel, const void *lpvBits);
/* A monochrome pattern draws its 0 bits in the text colour and its 1 bits in the background
   colour of the DC it is drawn in; patterns line up with the DC's origin. */
HBRUSH CreatePatternBrush(HBITMAP hbmp);

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
/* Negative extents mirror; a monochrome source draws in the destination's text (0) and
   background (1) colours, a colour source into a monochrome one is white where it has the
   source's background colour. */
BOOL StretchBlt(HDC hdcDest, int nXOriginDest, int nYOriginDest, int nWidthDest, int nHeightDest, HDC hdcSrc,
                int nXOriginSrc, int nYOriginSrc, int nWidthSrc, int nHeightSrc, DWORD dwRop);
int SetStretchBltMode(HDC hdc, int iStretchMode);
int GetStretchBltMode(HDC hdc);
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
