// The test window's procedure and class, registered when a check first makes a window.
#include "test_window.hpp"

#include "report.hpp"

#include <string>

namespace conformance {

namespace {

constexpr wchar_t kClassName[] = L"ConformanceWindow";

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog& log = MessageLog::Instance();
    switch (message) {
    case WM_CREATE:
        log.Record("create");
        return 0;
    case WM_DESTROY:
        log.Record("destroy");
        return 0;
    case WM_ERASEBKGND:
        log.Record("erase");
        return 1;
    case WM_PAINT: {
        log.Record("paint");
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        log.Record("timer" + std::to_string(wParam));
        if (wParam == kSelfKillingTimer)
            KillTimer(hwnd, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        log.Record("down(" + std::to_string(static_cast<short>(LOWORD(lParam))) + "," +
                   std::to_string(static_cast<short>(HIWORD(lParam))) + ")");
        return 0;
    case kAnswer:
        return 42;
    default:
        if (message > WM_USER && message < WM_USER + 100) {
            log.Record("user" + std::to_string(message - WM_USER));
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void RegisterTestClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    registered = true;
}

}  // namespace

HWND MakeWindow(LPCWSTR title, int x, int y, int width, int height, DWORD exStyle)
{
    RegisterTestClass();
    return CreateWindowExW(exStyle, kClassName, title, WS_POPUP, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace conformance
