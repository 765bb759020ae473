// CE's ChangeDisplaySettingsEx with its orientation codes. The device's orientation is kept and
// recorded as the device keeps it (the trace, the registry's angle), and every window of the
// device is told, as on the device. In a player's run (under Wine, on a virtual desktop) the
// desktop takes the shape of the turned panel, so that programs lay out and taps land as on
// the device; a user's own screen is never changed.
#include "shared_device.hpp"

#include "platform/display/display_request.hpp"

#include <string>
#include <vector>

using namespace velorin::ce;

// CE's layout, whatever the target's pointer width.
static_assert(sizeof(CE_DEVMODEW) == 192, "DEVMODEW lost CE's layout");

namespace {

constexpr wchar_t kRotationKey[] = L"System\\GDI\\Rotation";
constexpr UINT kSettingChangeReset = 0x3002;
constexpr UINT kSendTimeoutMs = 5000;

bool degreesOf(DWORD code, DWORD& degrees)
{
    switch (code) {
    case DMDO_0:
        degrees = 0;
        return true;
    case DMDO_90:
        degrees = 90;
        return true;
    case DMDO_180:
        degrees = 180;
        return true;
    case DMDO_270:
        degrees = 270;
        return true;
    default:
        return false;
    }
}

void traceAttempt(DWORD code, LONG result)
{
    traceEffect("display.orientation", std::to_string(code) + " result=" + std::to_string(result));
}

BOOL CALLBACK collectDeviceWindow(HWND hwnd, LPARAM windows)
{
    if (isDeviceWindow(hwnd))
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
}

// Resizes the desktop to the panel's shape at this orientation; its pixels are the device's
// logical screen. True when it did.
bool shapeDesktop(DWORD code)
{
    LONG width = 0;
    LONG height = 0;
    {
        DeviceLock state;
        if (!state->runActive || state->panelWidth <= 0 || state->panelHeight <= 0)
            return false;
        const bool across = code == DMDO_90 || code == DMDO_270;
        width = across ? state->panelHeight : state->panelWidth;
        height = across ? state->panelWidth : state->panelHeight;
    }
    if (GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height)
        return false;
    struct _devicemodeW desktop {};
    desktop.dmSize = sizeof desktop;
    desktop.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    desktop.dmPelsWidth = static_cast<DWORD>(width);
    desktop.dmPelsHeight = static_cast<DWORD>(height);
    return ChangeDisplaySettingsExW(nullptr, &desktop, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
}

LONG turn(DWORD code)
{
    DWORD degrees = 0;
    if (!degreesOf(code, degrees)) {
        traceAttempt(code, DISP_CHANGE_BADMODE);
        return DISP_CHANGE_BADMODE;
    }
    {
        DeviceLock state;
        state->orientation = code;
        traceAttempt(code, DISP_CHANGE_SUCCESSFUL);
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRotationKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExW(key, L"Angle", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&degrees), sizeof degrees);
        RegCloseKey(key);
    }
    const bool reshaped = shapeDesktop(code);
    // Every window of the device repaints, then hears of the change, topmost first.
    std::vector<HWND> windows;
    EnumWindows(collectDeviceWindow, reinterpret_cast<LPARAM>(&windows));
    const DWORD lastError = GetLastError();
    // Wine keeps a window's drawing surface to the desktop it was placed on: placed again, a
    // window larger than the screen covers the new shape whole, as it does on the device.
    for (HWND hwnd : reshaped ? windows : std::vector<HWND>{})
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    for (HWND hwnd : windows)
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    for (HWND hwnd : windows) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(hwnd, WM_SETTINGCHANGE, kSettingChangeReset, 0, SMTO_NORMAL, kSendTimeoutMs, &result);
    }
    SetLastError(lastError);
    return DISP_CHANGE_SUCCESSFUL;
}

}  // namespace

LONG WINAPI CeChangeDisplaySettingsEx(LPCWSTR, CE_DEVMODEW* lpDevMode, HWND, DWORD dwflags, LPVOID)
{
    // Attempts to turn that the checks refuse are traced, as the device traces them.
    const bool turning = velorin::display::asksToTurn(lpDevMode, dwflags);
    switch (velorin::display::displayRequestOf(lpDevMode, dwflags)) {
    case velorin::display::DisplayRequest::BadRecord:
        if (turning)
            traceAttempt(lpDevMode->dmDisplayOrientation, DISP_CHANGE_BADPARAM);
        return DISP_CHANGE_BADPARAM;
    case velorin::display::DisplayRequest::BadFlags:
        if (turning)
            traceAttempt(lpDevMode->dmDisplayOrientation, DISP_CHANGE_BADFLAGS);
        return DISP_CHANGE_BADFLAGS;
    case velorin::display::DisplayRequest::Query:
        lpDevMode->dmDisplayOrientation = velorin::display::kSupportedOrientations;
        return DISP_CHANGE_SUCCESSFUL;
    case velorin::display::DisplayRequest::BadMode:
        return DISP_CHANGE_BADMODE;
    case velorin::display::DisplayRequest::Report: {
        DeviceLock state;
        lpDevMode->dmDisplayOrientation = state->orientation;
        return DISP_CHANGE_SUCCESSFUL;
    }
    case velorin::display::DisplayRequest::Turn:
        break;
    }
    return turn(lpDevMode->dmDisplayOrientation);
}
