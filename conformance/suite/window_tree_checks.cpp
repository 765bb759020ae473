// What goes with a window: the windows of a thread that ends, the windows an owner owns, and the
// part of the parent that a child moving away uncovers.
#include "report.hpp"

#include "test_window.hpp"

namespace conformance {

namespace {

constexpr char kGroup[] = "window_tree";

RECT g_parentPaint{};

LRESULT CALLBACK PaintRectProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        g_parentPaint = ps.rcPaint;
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD WINAPI MakeWindowAndEnd(LPVOID out)
{
    *static_cast<HWND*>(out) = MakeWindow(L"Conformance Thread Window");
    return 0;
}

std::string RectText(const RECT& r)
{
    return Number(r.left) + "," + Number(r.top) + "," + Number(r.right) + "," + Number(r.bottom);
}

}  // namespace

void RunWindowTreeChecks()
{
    HWND threadWindow = nullptr;
    HANDLE thread = CreateThread(nullptr, 0, MakeWindowAndEnd, &threadWindow, 0, nullptr);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    Report(kGroup, "thread_end_destroys_its_windows", YesNo(threadWindow != nullptr) + " " + YesNo(IsWindow(threadWindow)));
    MessageLog::Instance().Take();

    HWND owner = MakeWindow(L"Conformance Owner");
    HWND owned = CreateWindowExW(0, L"ConformanceWindow", L"", WS_POPUP, 0, 0, 50, 50, owner, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    MessageLog::Instance().Take();
    DestroyWindow(owner);
    Report(kGroup, "owner_destroys_owned", YesNo(IsWindow(owned)) + " " + MessageLog::Instance().Take());
    if (IsWindow(owned))
        DestroyWindow(owned);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PaintRectProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ConformanceTreeParent";
    RegisterClassW(&windowClass);
    HWND parent = CreateWindowExW(0, L"ConformanceTreeParent", L"", WS_POPUP | WS_VISIBLE, 0, 0, 120, 120, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND child = CreateWindowExW(0, L"ConformanceWindow", L"", WS_CHILD | WS_VISIBLE, 10, 10, 30, 30, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    g_parentPaint = RECT{};
    MoveWindow(child, 60, 60, 30, 30, TRUE);
    PumpMessages();
    Report(kGroup, "moved_child_uncovers_parent", RectText(g_parentPaint));
    DestroyWindow(parent);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
