// Device contexts: GetDC, ReleaseDC, CreateCompatibleDC, DeleteDC.
#include "gdi/gdi_call.hpp"
#include "gdi/wingdi.h"

using velorin::gdi::Gdi;
using velorin::gdi::withGdi;
using velorin::kernel::platformCall;

HDC GetDC(HWND hWnd)
{
    return platformCall(
        "GetDC", HDC{}, ERROR_INVALID_HANDLE,
        [&] { return withGdi([&](Gdi& gdi) { return gdi.openWindowDCLocked(hWnd, std::nullopt); }); }, hWnd);
}

int ReleaseDC(HWND hWnd, HDC hDC)
{
    return platformCall(
        "ReleaseDC", 0, ERROR_INVALID_HANDLE,
        [&] { return withGdi([&](Gdi& gdi) { return gdi.releaseDCLocked(hWnd, hDC); }); }, hWnd, hDC);
}

HDC CreateCompatibleDC(HDC hdc)
{
    return platformCall(
        "CreateCompatibleDC", HDC{}, ERROR_NOT_ENOUGH_MEMORY,
        [&] { return withGdi([&](Gdi& gdi) { return gdi.createCompatibleDCLocked(hdc); }); }, hdc);
}

BOOL DeleteDC(HDC hdc)
{
    return platformCall(
        "DeleteDC", FALSE, ERROR_INVALID_HANDLE,
        [&] { return withGdi([&](Gdi& gdi) { return gdi.deleteDCLocked(hdc) ? TRUE : FALSE; }); }, hdc);
}
