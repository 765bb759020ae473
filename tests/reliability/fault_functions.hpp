// The platform functions whose calls the simulation's random fault plans fail: every function
// that the utility calls, directly or through the framework's drawing wrappers. Start-up runs
// without faults in the simulation (the fault matrix fails its calls one by one), so the
// functions only start-up calls are here only for completeness.
#pragma once

#include <string>
#include <vector>

namespace velorin::reliability {

inline const std::vector<std::string>& randomFaultFunctions()
{
    static const std::vector<std::string> functions{
        // Windows, messages, timers.
        "PostMessageW", "SendMessageW", "ShowWindow", "SetForegroundWindow", "IsWindowVisible", "InvalidateRect",
        "PtInRect", "KillTimer", "SetTimer", "GetWindowLongPtrW", "SetWindowLongPtrW", "GetSystemMetrics", "GetWindowRect",
        "MoveWindow", "SetWindowPos", "FindWindowW", "SetWindowTextW", "LoadIconW", "LoadBitmapW",
        // Drawing, directly and through the framework's wrappers.
        "BitBlt", "TransparentImage", "Rectangle", "GetObjectW", "SelectObject", "CreateSolidBrush", "DeleteObject",
        "CreateCompatibleDC", "DeleteDC", "GetDC", "ReleaseDC", "BeginPaint", "EndPaint",
        // Registry.
        "RegOpenKeyExW", "RegCreateKeyExW", "RegQueryValueExW", "RegSetValueExW", "RegCloseKey", "LocalFree",
        // Power, display, kernel.
        "DevicePowerNotify", "ChangeDisplaySettingsEx", "SetSystemPowerState", "OpenEventW", "EventModify",
        "CloseHandle", "CreateEventW", "CreateThread", "Sleep", "WaitForMultipleObjects", "ReadMsgQueue",
        "GetSystemPowerStatusEx2", "CreateMsgQueue", "RequestPowerNotifications", "StopPowerNotifications",
        "CloseMsgQueue", "LoadLibraryW", "GetProcAddressW", "FreeLibrary"};
    return functions;
}

}  // namespace velorin::reliability
