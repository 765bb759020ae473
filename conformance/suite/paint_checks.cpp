// Painting: invalidation, the erase and paint order, hidden windows, ShowWindowW and
// SetWindowPos, UpdateWindow and ValidateRect.
#include "report.hpp"
#include "test_window.hpp"

namespace conformance {

namespace {

constexpr char kGroup[] = "painting";

RECT g_lastPaint{};

LRESULT CALLBACK RectProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        g_lastPaint = ps.rcPaint;
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

void RunPaintChecks()
{
    HWND window = MakeWindow(L"Conformance Paint");
    PumpMessages();
    MessageLog::Instance().Take();

    // Showing erases at once (sent before ShowWindow returns) and queues the paint.
    ShowWindow(window, SW_SHOW);
    const std::string duringShow = MessageLog::Instance().Take();
    PumpMessages();
    Report(kGroup, "show", duringShow + " / " + MessageLog::Instance().Take());

    InvalidateRect(window, nullptr, TRUE);
    Report(kGroup, "invalidate_waits_for_the_queue", MessageLog::Instance().Take());
    PumpMessages();
    Report(kGroup, "invalidate_with_erase", MessageLog::Instance().Take());
    InvalidateRect(window, nullptr, FALSE);
    PumpMessages();
    Report(kGroup, "invalidate_without_erase", MessageLog::Instance().Take());

    InvalidateRect(window, nullptr, TRUE);
    PostMessageW(window, WM_USER + 1, 0, 0);
    PumpMessages();
    Report(kGroup, "posted_before_paint", MessageLog::Instance().Take());

    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    Report(kGroup, "update_window_paints_at_once", MessageLog::Instance().Take());
    PumpMessages();
    Report(kGroup, "nothing_left_after_update", MessageLog::Instance().Take());

    InvalidateRect(window, nullptr, TRUE);
    ValidateRect(window, nullptr);
    PumpMessages();
    Report(kGroup, "validate_cancels", MessageLog::Instance().Take());

    ShowWindow(window, SW_HIDE);
    PumpMessages();
    MessageLog::Instance().Take();
    InvalidateRect(window, nullptr, TRUE);
    PumpMessages();
    Report(kGroup, "hidden_window_not_painted", MessageLog::Instance().Take());
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    const std::string duringSetWindowPos = MessageLog::Instance().Take();
    PumpMessages();
    Report(kGroup, "shown_by_set_window_pos", duringSetWindowPos + " / " + MessageLog::Instance().Take());
    DestroyWindow(window);
    PumpMessages();
    MessageLog::Instance().Take();

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RectProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ConformancePaintRect";
    RegisterClassW(&windowClass);
    HWND rects = CreateWindowExW(0, L"ConformancePaintRect", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    const RECT part{10, 20, 30, 40};
    InvalidateRect(rects, &part, TRUE);
    PumpMessages();
    Report(kGroup, "paint_rect_of_a_part",
           Number(g_lastPaint.left) + "," + Number(g_lastPaint.top) + "," + Number(g_lastPaint.right) + "," +
               Number(g_lastPaint.bottom));
    const RECT other{50, 50, 60, 60};
    InvalidateRect(rects, &part, TRUE);
    InvalidateRect(rects, &other, TRUE);
    PumpMessages();
    Report(kGroup, "paint_rect_of_two_parts",
           Number(g_lastPaint.left) + "," + Number(g_lastPaint.top) + "," + Number(g_lastPaint.right) + "," +
               Number(g_lastPaint.bottom));
    // A child moving away uncovers its parent where it was.
    HWND child = CreateWindowExW(0, L"ConformanceWindow", L"", WS_CHILD | WS_VISIBLE, 10, 10, 30, 30, rects, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    g_lastPaint = RECT{};
    MoveWindow(child, 60, 60, 30, 30, TRUE);
    PumpMessages();
    Report(kGroup, "moved_child_uncovers_parent",
           Number(g_lastPaint.left) + "," + Number(g_lastPaint.top) + "," + Number(g_lastPaint.right) + "," +
               Number(g_lastPaint.bottom));
    DestroyWindow(rects);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
