// Windows: creation, state, position, text and window words.
#include "kernel/api_call.hpp"
#include "window/window_call.hpp"
#include "window/winuser.h"

#include <algorithm>
#include <utility>

using namespace velorin::kernel;
using velorin::window::Window;
using velorin::window::WindowManager;
using velorin::window::windowManager;

namespace {

// Runs `body` on the window under the kernel lock; a bad handle fails with the window error.
template <class R, class Body> R withWindow(HWND hwnd, R failResult, Body&& body)
{
    WindowManager& wm = windowManager();
    std::lock_guard lock(Kernel::current().mutex());
    Window* w = wm.findLocked(hwnd);
    if (!w) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return failResult;
    }
    return body(wm, *w);
}

// Fills `out` with one of the window's rectangles.
template <class Which> BOOL rectOf(HWND hwnd, LPRECT out, Which which)
{
    return withWindow(hwnd, FALSE, [&](WindowManager& wm, Window& w) {
        if (!out) {
            setLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        *out = which(wm, w);
        return TRUE;
    });
}

// The active window and the focus are the state of one thread's input: another thread sees none.
HWND ofCallingThread(HWND hwnd)
{
    const Window* w = windowManager().findLocked(hwnd);
    return w && w->thread == Kernel::current().scheduler().currentId() ? hwnd : nullptr;
}

std::wstring textOf(LPCWSTR text)
{
    return text && !IS_INTRESOURCE(text) ? std::wstring(text) : std::wstring();
}

// A size below zero is taken as zero, as Windows takes it.
RECT sized(int x, int y, int width, int height)
{
    return RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
}

// CW_USEDEFAULT leaves the place to the system: zeros for pop-up and child windows, as CE's
// CreateWindow says; an overlapped window starts at the corner and reaches the screen's edges,
// as CE's full-screen windows do.
RECT placement(DWORD style, int x, int y, int width, int height)
{
    const bool overlapped = (style & (WS_POPUP | WS_CHILD)) == 0;
    if (x == CW_USEDEFAULT)
        x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = height = 0;
        if (overlapped) {
            std::lock_guard lock(Kernel::current().mutex());
            const auto& display = windowManager().display();
            width = std::max(0, display.width() - x);
            height = std::max(0, display.height() - y);
        }
    }
    return sized(x, y, width, height);
}

}  // namespace

ATOM RegisterClassW(const WNDCLASSW* lpWndClass)
{
    return platformCall(
        "RegisterClassW", ATOM{0}, ERROR_INVALID_PARAMETER,
        [&]() -> ATOM {
            if (!lpWndClass || !lpWndClass->lpfnWndProc || !lpWndClass->lpszClassName) {
                setLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            velorin::window::WindowClass cls{lpWndClass->lpszClassName, lpWndClass->lpfnWndProc, 0xFFFFFF,
                                             lpWndClass->hbrBackground != nullptr};
            const ATOM atom = windowManager().registerClass(cls);
            if (!atom)
                setLastError(ERROR_CLASS_ALREADY_EXISTS);
            return atom;
        },
        lpWndClass);
}

HWND CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam)
{
    return platformCall(
        "CreateWindowExW", HWND{}, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> HWND {
            const int id = (dwStyle & WS_CHILD) ? static_cast<int>(reinterpret_cast<std::intptr_t>(hMenu)) : 0;
            std::wstring className;
            {
                std::lock_guard lock(Kernel::current().mutex());
                className = windowManager().classNameLocked(lpClassName);
            }
            return windowManager().create(dwExStyle, className, textOf(lpWindowName), dwStyle,
                                          placement(dwStyle, X, Y, nWidth, nHeight), hWndParent, id, lpParam);
        },
        dwExStyle, lpClassName, lpWindowName, dwStyle, X, Y, nWidth, nHeight, hWndParent, hMenu, hInstance, lpParam);
}

BOOL DestroyWindow(HWND hWnd)
{
    return platformCall(
        "DestroyWindow", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&]() -> BOOL { return windowManager().destroy(hWnd) ? TRUE : FALSE; }, hWnd);
}

BOOL IsWindow(HWND hWnd)
{
    return platformCall(
        "IsWindow", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&]() -> BOOL { return windowManager().exists(hWnd) ? TRUE : FALSE; }, hWnd);
}

HWND GetParent(HWND hWnd)
{
    return platformCall(
        "GetParent", HWND{}, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, HWND{}, [](WindowManager&, Window& w) { return w.isChild() ? w.parent : w.owner; });
        },
        hWnd);
}

BOOL IsChild(HWND hWndParent, HWND hWnd)
{
    return platformCall(
        "IsChild", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, FALSE, [&](WindowManager& wm, Window& w) -> BOOL {
                // Only the chain of parents counts: an owner is no parent.
                for (const Window* up = &w; up && up->isChild(); up = wm.findLocked(up->parent)) {
                    if (up->parent == hWndParent)
                        return TRUE;
                }
                return FALSE;
            });
        },
        hWndParent, hWnd);
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    return platformCall(
        "GetDlgItem", HWND{}, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hDlg, HWND{}, [&](WindowManager& wm, Window& w) -> HWND {
                for (HWND child : w.children) {
                    if (const Window* c = wm.findLocked(child); c && c->id == nIDDlgItem)
                        return child;
                }
                setLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            });
        },
        hDlg, nIDDlgItem);
}

HWND FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName)
{
    return platformCall(
        "FindWindowW", HWND{}, ERROR_FILE_NOT_FOUND,
        [&]() -> HWND {
            const std::wstring title = textOf(lpWindowName);
            std::lock_guard lock(Kernel::current().mutex());
            const std::wstring className = windowManager().classNameLocked(lpClassName);
            // Finding nothing is no error: the last error stays as it was, as on Windows.
            return windowManager().findTopLevelLocked(lpClassName ? &className : nullptr,
                                                      lpWindowName ? &title : nullptr);
        },
        lpClassName, lpWindowName);
}

BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString)
{
    return platformCall(
        "SetWindowTextW", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, FALSE, [&](WindowManager& wm, Window& w) {
                wm.setTextLocked(w, textOf(lpString));
                return TRUE;
            });
        },
        hWnd, lpString);
}

int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount)
{
    return platformCall(
        "GetWindowTextW", 0, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, 0, [&](WindowManager&, Window& w) {
                if (!lpString || nMaxCount <= 0)
                    return 0;
                const int n = std::min<int>(static_cast<int>(w.text.size()), nMaxCount - 1);
                std::copy_n(w.text.begin(), n, lpString);
                lpString[n] = L'\0';
                return n;
            });
        },
        hWnd, lpString, nMaxCount);
}

BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    return platformCall(
        "ShowWindow", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            const BOOL was = withWindow(hWnd, FALSE, [&](WindowManager& wm, Window& w) {
                const bool show = nCmdShow != SW_HIDE;
                const bool was = wm.showLocked(w, show);
                // SW_SHOW of a window already shown changes nothing, activation included.
                const bool activates =
                    nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE && !(was && nCmdShow == SW_SHOW);
                if (show && !w.isChild() && activates)
                    wm.setForegroundLocked(hWnd);
                return was ? TRUE : FALSE;
            });
            if (nCmdShow != SW_HIDE)
                windowManager().eraseShown(hWnd);
            return was;
        },
        hWnd, nCmdShow);
}

BOOL IsWindowVisible(HWND hWnd)
{
    return platformCall(
        "IsWindowVisible", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, FALSE,
                              [](WindowManager& wm, Window& w) { return wm.isShownLocked(w) ? TRUE : FALSE; });
        },
        hWnd);
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags)
{
    return platformCall(
        "SetWindowPos", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            const BOOL placed = withWindow(hWnd, FALSE, [&](WindowManager& wm, Window& w) {
                RECT r = w.rect;
                if (!(uFlags & SWP_NOMOVE))
                    r = RECT{X, Y, X + (r.right - r.left), Y + (r.bottom - r.top)};
                if (!(uFlags & SWP_NOSIZE))
                    r = sized(r.left, r.top, cx, cy);
                if (r.left != w.rect.left || r.top != w.rect.top || r.right != w.rect.right ||
                    r.bottom != w.rect.bottom)
                    wm.moveLocked(w, r, false);
                if (!(uFlags & SWP_NOZORDER)) {
                    if (w.isChild())
                        wm.placeChildLocked(w, hWndInsertAfter);
                    else if (hWndInsertAfter == HWND_TOPMOST)
                        wm.setTopmostLocked(w, true);
                    else if (hWndInsertAfter == HWND_NOTOPMOST)
                        wm.setTopmostLocked(w, false);
                    else
                        wm.placeTopLevelLocked(w, hWndInsertAfter);
                }
                if (uFlags & SWP_SHOWWINDOW)
                    wm.showLocked(w, true);
                // Hiding here passes the activation to no one: the window stays active.
                if (uFlags & SWP_HIDEWINDOW)
                    wm.showLocked(w, false, false);
                // Activated unless told not to, shown or not; hiding activates nothing.
                if (!(uFlags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && !w.isChild())
                    wm.setForegroundLocked(hWnd);
                return TRUE;
            });
            if (placed && (uFlags & SWP_SHOWWINDOW))
                windowManager().eraseShown(hWnd);
            return placed;
        },
        hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

BOOL SetForegroundWindow(HWND hWnd)
{
    return platformCall(
        "SetForegroundWindow", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, FALSE,
                              [&](WindowManager& wm, Window&) { return wm.setForegroundLocked(hWnd) ? TRUE : FALSE; });
        },
        hWnd);
}

HWND GetForegroundWindow()
{
    return platformCall("GetForegroundWindow", HWND{}, ERROR_SUCCESS, [] {
        std::lock_guard lock(Kernel::current().mutex());
        return windowManager().foregroundLocked();
    });
}

HWND GetActiveWindow()
{
    return platformCall("GetActiveWindow", HWND{}, ERROR_SUCCESS, [] {
        std::lock_guard lock(Kernel::current().mutex());
        return ofCallingThread(windowManager().foregroundLocked());
    });
}

HWND SetFocus(HWND hWnd)
{
    return platformCall(
        "SetFocus", HWND{}, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            // No window: the keys go nowhere until a window takes the focus again.
            if (!hWnd) {
                std::lock_guard lock(Kernel::current().mutex());
                return windowManager().setFocusLocked(nullptr);
            }
            return withWindow(hWnd, HWND{}, [&](WindowManager& wm, Window& w) {
                // The window's top-level window is activated first, as on Windows.
                if (wm.topLevelLocked(w).hwnd != wm.foregroundLocked())
                    wm.setForegroundLocked(hWnd);
                return wm.setFocusLocked(hWnd);
            });
        },
        hWnd);
}

HWND GetFocus()
{
    return platformCall("GetFocus", HWND{}, ERROR_SUCCESS, [] {
        std::lock_guard lock(Kernel::current().mutex());
        return ofCallingThread(windowManager().focusLocked());
    });
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable)
{
    return platformCall(
        "EnableWindow", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, FALSE, [&](WindowManager& wm, Window& w) {
                return wm.enableLocked(w, bEnable != FALSE) ? TRUE : FALSE;
            });
        },
        hWnd, bEnable);
}

BOOL IsWindowEnabled(HWND hWnd)
{
    return platformCall(
        "IsWindowEnabled", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] { return withWindow(hWnd, FALSE, [](WindowManager&, Window& w) { return w.enabled ? TRUE : FALSE; }); },
        hWnd);
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    return platformCall(
        "GetWindowRect", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] { return rectOf(hWnd, lpRect, [](WindowManager& wm, Window& w) { return wm.screenRectLocked(w); }); }, hWnd,
        lpRect);
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect)
{
    return platformCall(
        "GetClientRect", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] { return rectOf(hWnd, lpRect, [](WindowManager& wm, Window& w) { return wm.clientRectLocked(w); }); }, hWnd,
        lpRect);
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint)
{
    return platformCall(
        "MoveWindow", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, FALSE, [&](WindowManager& wm, Window& w) {
                wm.moveLocked(w, sized(X, Y, nWidth, nHeight), bRepaint != FALSE);
                return TRUE;
            });
        },
        hWnd, X, Y, nWidth, nHeight, bRepaint);
}

namespace {

LONG styleWord(const Window& w)
{
    return static_cast<LONG>(w.style | (w.visible ? WS_VISIBLE : 0) | (w.enabled ? 0 : WS_DISABLED));
}

// The style as the word gives it: visibility and enabling follow their bits, as on Windows.
void setStyleWord(WindowManager& wm, Window& w, DWORD style)
{
    w.style = style & ~(WS_VISIBLE | WS_DISABLED);
    wm.enableLocked(w, (style & WS_DISABLED) == 0);
    wm.showLocked(w, (style & WS_VISIBLE) != 0);
}

// One window word, at the width of a pointer: the user-data slot holds a whole pointer, the
// dialog's words and the others a LONG, widened with its sign.
LONG_PTR setWindowWord(CallName call, HWND hWnd, int nIndex, LONG_PTR value)
{
    return platformCall(
        call, LONG_PTR{0}, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, LONG_PTR{0}, [&](WindowManager& wm, Window& w) -> LONG_PTR {
                LONG_PTR previous = 0;
                if (nIndex == GWL_USERDATA) {
                    previous = w.userData;
                    w.userData = value;
                } else if (nIndex == GWL_ID) {
                    previous = std::exchange(w.id, static_cast<int>(value));
                } else if (nIndex == GWL_STYLE) {
                    previous = styleWord(w);
                    setStyleWord(wm, w, static_cast<DWORD>(value));
                } else if (nIndex == GWL_EXSTYLE) {
                    previous = static_cast<LONG>(w.exStyle);
                    // Topmost changes through SetWindowPos only, as on Windows.
                    w.exStyle = (static_cast<DWORD>(value) & ~WS_EX_TOPMOST) | (w.exStyle & WS_EX_TOPMOST);
                } else if (nIndex == DWL_MSGRESULT && w.dialog) {
                    previous = std::exchange(w.dialog->msgResult, static_cast<LONG>(value));
                } else if (nIndex == DWL_USER && w.dialog) {
                    previous = std::exchange(w.dialog->user, static_cast<LONG>(value));
                } else if (nIndex == DWL_DLGPROC && w.dialog) {
                    previous = reinterpret_cast<LONG_PTR>(
                        std::exchange(w.dialog->proc, reinterpret_cast<DLGPROC>(value)));
                } else {
                    setLastError(ERROR_INVALID_INDEX);
                    return 0;
                }
                // Success leaves the last error as it was: a caller tells a previous value of
                // zero from a failure by clearing it first.
                return previous;
            });
        },
        hWnd, nIndex, value);
}

LONG_PTR getWindowWord(CallName call, HWND hWnd, int nIndex)
{
    return platformCall(
        call, LONG_PTR{0}, ERROR_INVALID_WINDOW_HANDLE,
        [&] {
            return withWindow(hWnd, LONG_PTR{0}, [&](WindowManager&, Window& w) -> LONG_PTR {
                switch (nIndex) {
                case GWL_USERDATA:
                    return w.userData;
                case GWL_WNDPROC:
                    return reinterpret_cast<LONG_PTR>(w.proc);
                case GWL_STYLE:
                    return styleWord(w);
                case GWL_EXSTYLE:
                    return static_cast<LONG>(w.exStyle);
                case GWL_ID:
                    return w.id;
                case DWL_MSGRESULT:
                    if (w.dialog)
                        return w.dialog->msgResult;
                    break;
                case DWL_USER:
                    if (w.dialog)
                        return w.dialog->user;
                    break;
                case DWL_DLGPROC:
                    if (w.dialog)
                        return reinterpret_cast<LONG_PTR>(w.dialog->proc);
                    break;
                default:
                    break;
                }
                setLastError(ERROR_INVALID_INDEX);
                return 0;
            });
        },
        hWnd, nIndex);
}

}  // namespace

LONG SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong)
{
    return static_cast<LONG>(setWindowWord("SetWindowLongW", hWnd, nIndex, dwNewLong));
}

LONG GetWindowLongW(HWND hWnd, int nIndex)
{
    return static_cast<LONG>(getWindowWord("GetWindowLongW", hWnd, nIndex));
}

LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    return setWindowWord("SetWindowLongPtrW", hWnd, nIndex, dwNewLong);
}

LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex)
{
    return getWindowWord("GetWindowLongPtrW", hWnd, nIndex);
}
