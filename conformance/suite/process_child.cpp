// The child's body: a window for the parent to find, a thread left in a wait, and the exit code
// the parent checks for once it says go.
#include "process_child.hpp"

namespace conformance {

namespace {

constexpr wchar_t kChildClass[] = L"ConformanceChildWindow";

// Blocks on an event that nobody sets, so that the process ends with this thread still in a wait.
DWORD WINAPI WaitForever(LPVOID event)
{
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 1;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

}  // namespace conformance

int ConformanceChildMain()
{
    using namespace conformance;
    HANDLE ready = OpenEventW(EVENT_ALL_ACCESS, FALSE, kChildReadyEvent);
    HANDLE go = OpenEventW(EVENT_ALL_ACCESS, FALSE, kChildGoEvent);
    if (!ready || !go)
        return static_cast<int>(kChildLost);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kChildClass;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, kChildClass, kChildWindowTitle, WS_POPUP | WS_VISIBLE, 30, 50, 120, 90, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    SetForegroundWindow(window);
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, WaitForever, never, 0, nullptr);
    Pump();
    SetEvent(ready);
    // Its window stays answerable while it waits.
    while (WaitForSingleObject(go, 20) == WAIT_TIMEOUT)
        Pump();
    return static_cast<int>(kChildExitCode);
}
