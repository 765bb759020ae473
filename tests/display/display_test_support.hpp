// Helpers of the display tests: windows that write down what they hear, and the records that
// turn the display.
#pragma once

#include "../support/device_test_support.hpp"
#include "trace/trace_recorder.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace velorin::test {

inline std::string screenSize()
{
    return std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" + std::to_string(GetSystemMetrics(SM_CYSCREEN));
}

// Writes down "<title> WM_SETTINGCHANGE <wparam> <lparam> <screen size then>", and the erase
// and the paint that follow.
inline LRESULT recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WCHAR title[32]{};
    GetWindowTextW(hwnd, title, 32);
    const std::string who = trace::narrow(title) + " ";
    if (message == WM_SETTINGCHANGE) {
        char wp[16];
        std::snprintf(wp, sizeof wp, "0x%04llX", static_cast<unsigned long long>(wParam));
        hear(who + "WM_SETTINGCHANGE " + wp + " " + std::to_string(lParam) + " " + screenSize());
        return 0;
    }
    if (message == WM_ERASEBKGND)
        hear(who + "WM_ERASEBKGND");
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);  // the erase comes from here
        EndPaint(hwnd, &ps);
        hear(who + "WM_PAINT");
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A white 100 x 50 top-level window at the top left, with nothing left to paint.
inline HWND createRecorder(const wchar_t* title, bool visible, WNDPROC proc = recordingProc)
{
    const std::wstring className = proc == recordingProc ? std::wstring(L"Recorder") : title;
    WNDCLASSW cls{};
    cls.lpfnWndProc = proc;
    cls.lpszClassName = className.c_str();
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&cls);  // a second program finds it registered
    HWND hwnd = CreateWindowExW(0, className.c_str(), title, WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 100, 50,
                                nullptr, nullptr, nullptr, nullptr);
    ValidateRect(hwnd, nullptr);
    return hwnd;
}

// Handles what the calling thread has waiting, without blocking.
inline void drain()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

inline void pumpForever()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
}

inline DEVMODEW orientationRecord(DWORD code, DWORD fields = DM_DISPLAYORIENTATION)
{
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = fields;
    mode.dmDisplayOrientation = code;
    return mode;
}

inline LONG turn(DWORD code, DWORD flags = CDS_RESET)
{
    DEVMODEW mode = orientationRecord(code);
    return ChangeDisplaySettingsEx(nullptr, &mode, nullptr, flags, nullptr);
}

}  // namespace velorin::test
