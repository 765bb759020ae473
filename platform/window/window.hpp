// One window of the window manager, and what it keeps per thread and per timer.
#pragma once

#include "gdi/surface.hpp"
#include "kernel/device_time.hpp"
#include "kernel/scheduler.hpp"
#include "window/winuser.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velorin::window {

struct WindowClass {
    std::wstring name;
    WNDPROC proc = nullptr;
    gdi::Rgb background = 0;
    bool erases = false;  // whether DefWindowProc's WM_ERASEBKGND fills the background
    ATOM atom = 0;        // given at registration
};

struct DialogState {
    DLGPROC proc = nullptr;
    LONG msgResult = 0;
    LONG user = 0;
    bool ended = false;
    INT_PTR result = 0;
    WORD defaultId = 0;  // set by DM_SETDEFID; 0 leaves it to the default push button
};

// All fields are guarded by the kernel lock.
struct Window {
    HWND hwnd = nullptr;
    std::wstring className;
    WNDPROC proc = nullptr;
    gdi::Rgb background = 0;
    bool erases = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // children only
    HWND owner = nullptr;   // top-level windows only
    kernel::ThreadId thread = 0;
    kernel::ProcessId pid = 0;
    RECT rect{};  // top-level: screen pixels; child: pixels of the parent's client area
    std::wstring text;
    bool visible = false;
    bool enabled = true;
    bool topmost = false;
    LONG_PTR userData = 0;
    int id = 0;
    HICON iconBig = nullptr;
    HICON iconSmall = nullptr;
    std::optional<RECT> invalid;  // client pixels waiting for WM_PAINT
    bool erasePending = false;
    bool pressed = false;  // push buttons: down and not yet up
    std::optional<DialogState> dialog;
    std::vector<HWND> children;             // in z-order, top first; a new child goes to the bottom
    std::unique_ptr<gdi::Surface> surface;  // top-level windows only

    bool isChild() const { return parent != nullptr; }
};

struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
};

struct ThreadQueue {
    std::deque<MSG> posted;
    // Taps and keys: taken only when no posted message waits, so that everything one input
    // leads to is handled before the next.
    std::deque<MSG> input;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::optional<int> quitCode;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT period = 0;
    kernel::DeviceTime due = 0;
    TIMERPROC proc = nullptr;
    kernel::ThreadId thread = 0;
};

}  // namespace velorin::window
