// Device contexts: GetDC, ReleaseDC, CreateCompatibleDC, DeleteDC.
#include "gdi/gdi_call.hpp"
#include "gdi/wingdi.h"

using velorin::gdi::Gdi;
using velorin::gdi::gdiCall;

HDC GetDC(HWND hWnd)
{
    return gdiCall(
        "GetDC", HDC{}, ERROR_INVALID_HANDLE, [&](Gdi& gdi) { return gdi.openWindowDCLocked(hWnd, std::nullopt); },
        hWnd);
}

int ReleaseDC(HWND hWnd, HDC hDC)
{
    return gdiCall(
        "ReleaseDC", 0, ERROR_INVALID_HANDLE, [&](Gdi& gdi) { return gdi.releaseDCLocked(hWnd, hDC); }, hWnd, hDC);
}

HDC CreateCompatibleDC(HDC hdc)
{
    return gdiCall(
        "CreateCompatibleDC", HDC{}, ERROR_NOT_ENOUGH_MEMORY,
        [&](Gdi& gdi) { return gdi.createCompatibleDCLocked(hdc); }, hdc);
}

BOOL DeleteDC(HDC hdc)
{
    return gdiCall(
        "DeleteDC", FALSE, ERROR_INVALID_HANDLE, [&](Gdi& gdi) { return gdi.deleteDCLocked(hdc) ? TRUE : FALSE; }, hdc);
}
