// Painting, rectangles and the system metrics.
#include "gdi/gdi.hpp"
#include "kernel/api_call.hpp"
#include "window/window_call.hpp"
#include "window/winuser.h"

using namespace velorin::kernel;
using velorin::window::Window;
using velorin::window::WindowManager;
using velorin::window::windowManager;

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    return platformCall(
        "InvalidateRect", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&]() -> BOOL {
            WindowManager& wm = windowManager();
            std::lock_guard lock(Kernel::current().mutex());
            if (!hWnd) {
                wm.invalidateAllLocked();
                return TRUE;
            }
            Window* w = wm.findLocked(hWnd);
            if (!w) {
                setLastError(ERROR_INVALID_WINDOW_HANDLE);
                return FALSE;
            }
            wm.invalidateLocked(*w, lpRect ? std::optional<RECT>(*lpRect) : std::nullopt, bErase != FALSE);
            return TRUE;
        },
        hWnd, lpRect, bErase);
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect)
{
    return platformCall(
        "ValidateRect", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&]() -> BOOL {
            WindowManager& wm = windowManager();
            std::lock_guard lock(Kernel::current().mutex());
            Window* w = wm.findLocked(hWnd);
            if (!w) {
                setLastError(ERROR_INVALID_WINDOW_HANDLE);
                return FALSE;
            }
            wm.validateLocked(*w);
            return TRUE;
        },
        hWnd, lpRect);
}

BOOL UpdateWindow(HWND hWnd)
{
    return platformCall(
        "UpdateWindow", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&]() -> BOOL {
            WindowManager& wm = windowManager();
            bool paint = false;
            {
                std::lock_guard lock(Kernel::current().mutex());
                Window* w = wm.findLocked(hWnd);
                if (!w) {
                    setLastError(ERROR_INVALID_WINDOW_HANDLE);
                    return FALSE;
                }
                paint = w->invalid.has_value() && wm.isShownLocked(*w);
            }
            if (paint)
                wm.send(hWnd, WM_PAINT, 0, 0);
            return TRUE;
        },
        hWnd);
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint)
{
    return platformCall(
        "BeginPaint", HDC{}, ERROR_INVALID_WINDOW_HANDLE,
        [&]() -> HDC {
            if (!lpPaint) {
                setLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            return windowManager().beginPaint(hWnd, *lpPaint);
        },
        hWnd, lpPaint);
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    return platformCall(
        "EndPaint", FALSE, ERROR_INVALID_PARAMETER,
        [&]() -> BOOL { return lpPaint && windowManager().endPaint(*lpPaint) ? TRUE : FALSE; }, hWnd, lpPaint);
}

BOOL PtInRect(const RECT* lprc, POINT pt)
{
    return platformCall(
        "PtInRect", FALSE, ERROR_INVALID_PARAMETER,
        [&]() -> BOOL {
            return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom ? TRUE
                                                                                                                : FALSE;
        },
        lprc, pt);
}

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    return platformCall(
        "SetRect", FALSE, ERROR_INVALID_PARAMETER,
        [&]() -> BOOL {
            if (!lprc)
                return FALSE;
            *lprc = RECT{xLeft, yTop, xRight, yBottom};
            return TRUE;
        },
        lprc, xLeft, yTop, xRight, yBottom);
}

BOOL IsRectEmpty(const RECT* lprc)
{
    return platformCall(
        "IsRectEmpty", TRUE, ERROR_INVALID_PARAMETER,
        [&]() -> BOOL { return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top ? TRUE : FALSE; }, lprc);
}

int GetSystemMetrics(int nIndex)
{
    return platformCallLocked(
        "GetSystemMetrics", 0, ERROR_INVALID_PARAMETER,
        [&](Kernel& kernel) {
            const auto& display = kernel.device().windows().display();
            switch (nIndex) {
            case SM_CXSCREEN:
                return display.width();
            case SM_CYSCREEN:
                return display.height();
            default:
                return 0;
            }
        },
        nIndex);
}
