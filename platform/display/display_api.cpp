// ChangeDisplaySettingsEx: turning the display, testing and querying its orientation.
#include "boot/device.hpp"
#include "display/display_driver.hpp"
#include "display/display_request.hpp"
#include "display/windisplay.h"
#include "kernel/api_call.hpp"

#include <cstddef>
#include <mutex>

using namespace velorin;

// The mode record's layout, worked out for the width of WCHAR: 2 gives the device's 192 bytes.
static_assert(sizeof(DEVMODEW) == (sizeof(WCHAR) == 2 ? 192 : 324), "DEVMODEW no longer has the device's layout");
static_assert(offsetof(DEVMODEW, dmFields) == CCHDEVICENAME * sizeof(WCHAR) + 8);
static_assert(offsetof(DEVMODEW, dmDisplayOrientation) == sizeof(DEVMODEW) - sizeof(DWORD));

namespace {

LONG change(DEVMODEW* mode, DWORD flags, bool& driverTraced)
{
    kernel::Kernel& kernel = kernel::Kernel::current();
    display::DisplayDriver& driver = kernel.device().displayDriver();
    switch (display::displayRequestOf(mode, flags)) {
    case display::DisplayRequest::BadRecord:
        return DISP_CHANGE_BADPARAM;
    case display::DisplayRequest::BadFlags:
        return DISP_CHANGE_BADFLAGS;
    case display::DisplayRequest::Query:
        mode->dmDisplayOrientation = display::kSupportedOrientations;
        return DISP_CHANGE_SUCCESSFUL;
    case display::DisplayRequest::BadMode:
        return DISP_CHANGE_BADMODE;
    case display::DisplayRequest::Report: {
        std::lock_guard lock(kernel.mutex());
        mode->dmDisplayOrientation = static_cast<DWORD>(driver.orientationLocked());
        return DISP_CHANGE_SUCCESSFUL;
    }
    case display::DisplayRequest::Turn:
        break;
    }
    driverTraced = true;
    return driver.setOrientation(mode->dmDisplayOrientation);
}

}  // namespace

LONG ChangeDisplaySettingsEx(LPCWSTR lpszDeviceName, DEVMODEW* lpDevMode, HWND hwnd, DWORD dwflags, LPVOID lParam)
{
    bool driverTraced = false;
    const LONG result = kernel::platformCall(
        "ChangeDisplaySettingsEx", DISP_CHANGE_FAILED, ERROR_GEN_FAILURE,
        [&] { return change(lpDevMode, dwflags, driverTraced); }, lpszDeviceName, lpDevMode, hwnd, dwflags, lParam);
    // Attempts refused before the driver, by the checks above or by the fault plan, are traced
    // here; a thread of an ended process makes none.
    if (!driverTraced && display::asksToTurn(lpDevMode, dwflags)) {
        kernel::Kernel& kernel = kernel::Kernel::current();
        std::lock_guard lock(kernel.mutex());
        if (!kernel.scheduler().currentIsKilled())
            kernel.device().displayDriver().traceAttemptLocked(lpDevMode->dmDisplayOrientation, result);
    }
    return result;
}
