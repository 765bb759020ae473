// The system's window classes, the dialog box, BUTTON and STATIC: their registration and window
// procedures. The procedures are entry points as the calls are: a program reaches them through a
// window's procedure pointer, on its own thread, and they work on that thread's window manager.
#include "window/window_call.hpp"
#include "window/windowsx.h"

#include <mutex>

namespace velorin::window {

namespace {

LRESULT dialogClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return windowManager().defDialogProc(hwnd, message, wParam, lParam);
}

// What the system's controls do alike: paint themselves whole, so that no erase is needed.
LRESULT controlProc(WindowManager& wm, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        wm.paintControl(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return wm.defWindowProc(hwnd, message, wParam, lParam);
    }
}

LRESULT buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowManager& wm = windowManager();
    switch (message) {
    case WM_LBUTTONDOWN:
        wm.pressButton(hwnd, true, lParam);
        return 0;
    case WM_LBUTTONUP:
        wm.pressButton(hwnd, false, lParam);
        return 0;
    case WM_GETDLGCODE: {
        std::lock_guard lock(kernel::Kernel::current().mutex());
        const Window* w = wm.findLocked(hwnd);
        const bool isDefault = w && (w->style & 0x0F) == BS_DEFPUSHBUTTON;
        return DLGC_BUTTON | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    }
    default:
        return controlProc(wm, hwnd, message, wParam, lParam);
    }
}

LRESULT staticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE)
        return DLGC_STATIC;
    return controlProc(windowManager(), hwnd, message, wParam, lParam);
}

}  // namespace

void WindowManager::registerSystemClasses()
{
    registerClass(WindowClass{kDialogClass, dialogClassProc, kDialogFace, true});
    registerClass(WindowClass{L"BUTTON", buttonProc, kDialogFace, false});
    registerClass(WindowClass{L"STATIC", staticProc, kDialogFace, false});
}

}  // namespace velorin::window
