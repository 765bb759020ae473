// Taps and key presses sent as the system's input, and the program's windows and buttons found
// by their text.
#include "input.hpp"

#include <algorithm>

namespace velorin::wine {

namespace {

// The gap between the parts of a tap, so that each is its own event for the window manager.
constexpr DWORD kInputGapMs = 10;

bool ofProcesses(HWND hwnd, const std::vector<DWORD>& processes)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return std::find(processes.begin(), processes.end(), pid) != processes.end();
}

std::wstring textOf(HWND hwnd)
{
    wchar_t text[256] = L"";
    GetWindowTextW(hwnd, text, 256);
    return text;
}

struct ButtonSearch {
    const std::wstring* text;
    std::optional<POINT> centre;
};

BOOL CALLBACK findButton(HWND hwnd, LPARAM param)
{
    auto& search = *reinterpret_cast<ButtonSearch*>(param);
    wchar_t className[32] = L"";
    GetClassNameW(hwnd, className, 32);
    if (lstrcmpiW(className, L"Button") != 0 || !IsWindowVisible(hwnd) || textOf(hwnd) != *search.text)
        return TRUE;
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    search.centre = POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return FALSE;
}

struct TopLevelSearch {
    const std::vector<DWORD>* processes;
    std::vector<HWND> windows;  // topmost first
};

BOOL CALLBACK collectTopLevel(HWND hwnd, LPARAM param)
{
    auto& search = *reinterpret_cast<TopLevelSearch*>(param);
    if (ofProcesses(hwnd, *search.processes))
        search.windows.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> topLevelWindows(const std::vector<DWORD>& processes)
{
    TopLevelSearch search{&processes, {}};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

void send(INPUT input)
{
    SendInput(1, &input, sizeof input);
    Sleep(kInputGapMs);
}

}  // namespace

void tap(int x, int y)
{
    // Every event carries its own position: a pointer placed beforehand (SetCursorPos) can be
    // moved back by the X server's answer to an earlier move, and the press would land there.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65536 + height - 1) / height);
    for (const DWORD button : {DWORD{0}, DWORD{MOUSEEVENTF_LEFTDOWN}, DWORD{MOUSEEVENTF_LEFTUP}}) {
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
        send(input);
    }
}

void pressKey(WORD virtualKey)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    send(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    send(input);
}

std::optional<POINT> buttonCentre(const std::wstring& text, const std::vector<DWORD>& processes)
{
    for (HWND window : topLevelWindows(processes)) {
        if (!IsWindowVisible(window))
            continue;
        ButtonSearch search{&text, std::nullopt};
        EnumChildWindows(window, findButton, reinterpret_cast<LPARAM>(&search));
        if (search.centre)
            return search.centre;
    }
    return std::nullopt;
}

std::optional<HWND> mainWindow(const std::wstring& title, const std::vector<DWORD>& processes)
{
    for (HWND window : topLevelWindows(processes)) {
        if (!GetWindow(window, GW_OWNER) && lstrcmpiW(textOf(window).c_str(), title.c_str()) == 0)
            return window;
    }
    return std::nullopt;
}

}  // namespace velorin::wine
