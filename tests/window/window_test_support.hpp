// Message-sequence tests: windows whose procedure writes down what it receives.
#pragma once

#include "../support/device_test_support.hpp"
#include "window/windowsx.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace velorin::test {

// What recording windows received, as "<ms> <MSG> <wparam>", in order.
class MessageLog {
public:
    static MessageLog& instance()
    {
        static MessageLog log;
        return log;
    }
    void add(const std::string& line)
    {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(line);
    }
    std::vector<std::string> take()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_lines, {});
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// A recording window ends its thread's loop on this message and doubles wParam on the other.
inline constexpr UINT kQuitMessage = WM_USER + 99;
inline constexpr UINT kDoubleMessage = WM_USER + 3;

// Messages that a recording window writes down; others pass unrecorded.
inline bool recorded(UINT message)
{
    switch (message) {
    case WM_TIMER:
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_COMMAND:
    case WM_SETTINGCHANGE:
    case WM_CLOSE:
        return true;
    default:
        return message >= WM_USER;
    }
}

inline std::string messageText(UINT message)
{
    switch (message) {
    case WM_TIMER:
        return "WM_TIMER";
    case WM_PAINT:
        return "WM_PAINT";
    case WM_ERASEBKGND:
        return "WM_ERASEBKGND";
    case WM_LBUTTONDOWN:
        return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return "WM_LBUTTONUP";
    case WM_KEYDOWN:
        return "WM_KEYDOWN";
    case WM_CHAR:
        return "WM_CHAR";
    case WM_COMMAND:
        return "WM_COMMAND";
    case WM_SETTINGCHANGE:
        return "WM_SETTINGCHANGE";
    case WM_CLOSE:
        return "WM_CLOSE";
    default:
        return "WM_USER+" + std::to_string(message - WM_USER);
    }
}

inline LRESULT recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (recorded(message)) {
        // A device context's value says nothing to a reader of the log.
        const std::string argument = message == WM_ERASEBKGND ? "hdc" : std::to_string(wParam);
        std::string line = std::to_string(GetTickCount()) + " " + messageText(message) + " " + argument;
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)
            line += " (" + std::to_string(GET_X_LPARAM(lParam)) + "," + std::to_string(GET_Y_LPARAM(lParam)) + ")";
        MessageLog::instance().add(line);
    }
    if (message == kQuitMessage)
        PostQuitMessage(0);
    if (message == kDoubleMessage)
        return static_cast<LRESULT>(wParam * 2);
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

inline void registerRecorder()
{
    WNDCLASSW cls{};
    cls.lpfnWndProc = recordingProc;
    cls.lpszClassName = L"Recorder";
    RegisterClassW(&cls);
}

inline HWND createRecorder(const wchar_t* title = L"Recorder", RECT r = {0, 0, 100, 100},
                           DWORD style = WS_POPUP | WS_VISIBLE)
{
    registerRecorder();
    return CreateWindowExW(0, L"Recorder", title, style, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                           nullptr, nullptr, nullptr);
}

// Pumps the calling thread's messages until `done` says so or WM_QUIT arrives.
inline void pump(const std::function<bool()>& done = [] { return false; })
{
    MSG msg;
    while (!done() && GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace velorin::test
