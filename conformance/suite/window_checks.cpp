// Windows: creation, showing and hiding, lookup by title, words, rectangles, enabling, topmost,
// foreground and activation.
#include "report.hpp"

#include <cwchar>
#include "test_window.hpp"

namespace conformance {

namespace {

constexpr char kGroup[] = "windows";

std::string RectText(const RECT& r)
{
    return Number(r.left) + "," + Number(r.top) + "," + Number(r.right) + "," + Number(r.bottom);
}

}  // namespace

void RunWindowChecks()
{
    MessageLog::Instance().Take();
    HWND window = MakeWindow(L"Conformance Alpha", 10, 20, 100, 50);
    const std::string created = MessageLog::Instance().Take();
    Report(kGroup, "create", YesNo(window != nullptr) + " " + created);

    SetLastError(0);
    HWND none = CreateWindowExW(0, L"NoSuchClass", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    Report(kGroup, "create_unknown_class", YesNo(none != nullptr) + " " + Error(GetLastError()));

    Report(kGroup, "hidden_until_shown", YesNo(IsWindowVisible(window)));
    const BOOL wasVisible = ShowWindow(window, SW_SHOW);
    Report(kGroup, "show", YesNo(wasVisible) + " then " + YesNo(IsWindowVisible(window)));
    const BOOL wasVisibleAgain = ShowWindow(window, SW_HIDE);
    Report(kGroup, "hide", YesNo(wasVisibleAgain) + " then " + YesNo(IsWindowVisible(window)));
    PumpMessages();
    MessageLog::Instance().Take();

    Report(kGroup, "find_hidden_by_title", YesNo(FindWindowW(nullptr, L"Conformance Alpha") == window));
    Report(kGroup, "find_title_without_case", YesNo(FindWindowW(nullptr, L"CONFORMANCE alpha") == window));
    Report(kGroup, "find_part_of_title", YesNo(FindWindowW(nullptr, L"Conformance") != nullptr));

    SetWindowTextW(window, L"Conformance Beta");
    wchar_t text[64] = L"";
    const int length = GetWindowTextW(window, text, 64);
    Report(kGroup, "window_text", Number(length) + " " + YesNo(std::wcscmp(text, L"Conformance Beta") == 0));
    Report(kGroup, "find_after_rename",
           YesNo(FindWindowW(nullptr, L"Conformance Alpha") != nullptr) + " " +
               YesNo(FindWindowW(nullptr, L"Conformance Beta") == window));

    RECT rect{};
    GetWindowRect(window, &rect);
    Report(kGroup, "window_rect", RectText(rect));
    GetClientRect(window, &rect);
    Report(kGroup, "client_rect", RectText(rect));
    MoveWindow(window, 5, 6, 30, 40, TRUE);
    GetWindowRect(window, &rect);
    Report(kGroup, "moved_rect", RectText(rect));

    // What a pop-up or a child leaves to the system with CW_USEDEFAULT comes out as zeros.
    HWND defaulted = MakeWindow(L"Conformance Defaulted", CW_USEDEFAULT, 7, CW_USEDEFAULT, 9);
    HWND defaultedChild = CreateWindowExW(0, L"ConformanceWindow", L"", WS_CHILD, CW_USEDEFAULT, 7, CW_USEDEFAULT, 9,
                                          window, nullptr, GetModuleHandleW(nullptr), nullptr);
    RECT childRect{};
    GetWindowRect(defaulted, &rect);
    GetClientRect(defaultedChild, &childRect);
    Report(kGroup, "default_placement", RectText(rect) + " " + RectText(childRect));
    DestroyWindow(defaultedChild);
    DestroyWindow(defaulted);
    MessageLog::Instance().Take();

    // A child window needs its parent.
    SetLastError(0);
    HWND orphan = CreateWindowExW(0, L"ConformanceWindow", L"", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    Report(kGroup, "child_without_parent", YesNo(orphan != nullptr) + " " + Error(GetLastError()));
    if (orphan)
        DestroyWindow(orphan);

    // A word the window does not have fails with its own error; a word set leaves the last
    // error alone.
    SetLastError(0);
    const LONG below = GetWindowLongW(window, -1000);
    const DWORD belowError = GetLastError();
    SetLastError(0);
    const LONG beyond = SetWindowLongW(window, 64, 1);
    const DWORD beyondError = GetLastError();
    SetLastError(0);
    const LONG extra = GetWindowLongW(window, 0);
    const DWORD extraError = GetLastError();
    SetLastError(1234);
    SetWindowLongPtrW(window, GWLP_USERDATA, 5);
    Report(kGroup, "bad_window_word",
           Number(below) + " " + Error(belowError) + " " + Number(beyond) + " " + Error(beyondError) + " " +
               Number(extra) + " " + Error(extraError) + ", set leaves " + Error(GetLastError()));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);

    // Text into small buffers, and a null text.
    wchar_t small[8] = L"xxxxxxx";
    const int intoOne = GetWindowTextW(window, small, 1);
    const bool oneEmpty = small[0] == L'\0';
    const int intoFour = GetWindowTextW(window, small, 4);
    std::string four;
    for (const wchar_t* c = small; *c; ++c)
        four += static_cast<char>(*c);
    HWND untitled = MakeWindow(nullptr);
    const int untitledLength = GetWindowTextW(untitled, small, 8);
    SetLastError(0);
    const int ofNothing = GetWindowTextW(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4444)), small, 8);
    Report(kGroup, "text_into_small_buffers",
           Number(intoOne) + " " + YesNo(oneEmpty) + " " + Number(intoFour) + " " + four + " " +
               Number(untitledLength) + " " + Number(ofNothing) + " " + Error(GetLastError()));
    DestroyWindow(untitled);

    // Sizes below zero.
    HWND negative = MakeWindow(L"Conformance Negative", 10, 10, -20, -30);
    RECT negativeRect{};
    GetWindowRect(negative, &negativeRect);
    MoveWindow(negative, 5, 5, -1, -2, FALSE);
    RECT movedNegative{};
    GetWindowRect(negative, &movedNegative);
    Report(kGroup, "negative_sizes", RectText(negativeRect) + " " + RectText(movedNegative));
    DestroyWindow(negative);

    // Classes: a name registered twice, names found without case, unknown names.
    WNDCLASSW again{};
    again.lpfnWndProc = DefWindowProcW;
    again.hInstance = GetModuleHandleW(nullptr);
    again.lpszClassName = L"conformancewindow";
    SetLastError(0);
    const ATOM twice = RegisterClassW(&again);
    const DWORD twiceError = GetLastError();
    again.lpszClassName = L"ConformanceFirstClass";
    const ATOM firstAtom = RegisterClassW(&again);
    again.lpszClassName = L"ConformanceSecondClass";
    const ATOM secondAtom = RegisterClassW(&again);
    HWND byAtom = CreateWindowExW(0, MAKEINTATOM(secondAtom), L"Conformance By Atom", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Report(kGroup, "register_class",
           Number(twice) + " " + Error(twiceError) + " " + YesNo(firstAtom != 0 && secondAtom != 0) + " " +
               YesNo(firstAtom != secondAtom) + " " + YesNo(byAtom != nullptr) + " " +
               YesNo(FindWindowW(MAKEINTATOM(secondAtom), nullptr) == byAtom) + " " +
               YesNo(FindWindowW(L"CONFORMANCESECONDCLASS", nullptr) == byAtom));
    if (byAtom)
        DestroyWindow(byAtom);
    // Top-level windows in z-order, as FindWindowW walks it: the newest on top, then one sent to
    // the bottom, then one placed after another.
    HWND lower = CreateWindowExW(0, MAKEINTATOM(firstAtom), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    HWND upper = CreateWindowExW(0, MAKEINTATOM(firstAtom), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    const auto topOfClass = [&] {
        const HWND found = FindWindowW(L"ConformanceFirstClass", nullptr);
        return std::string(found == lower ? "lower" : found == upper ? "upper" : "other");
    };
    std::string order = topOfClass();
    SetWindowPos(upper, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    order += " " + topOfClass();
    SetWindowPos(lower, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    order += " " + topOfClass();
    SetWindowPos(upper, lower, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    order += " " + topOfClass();
    SetWindowPos(upper, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    order += " " + topOfClass();
    Report(kGroup, "top_level_order", order);
    DestroyWindow(lower);
    DestroyWindow(upper);

    SetLastError(0);
    const HWND noClass = FindWindowW(L"NoSuchClass", nullptr);
    const DWORD noClassError = GetLastError();
    SetLastError(0);
    const HWND noTitle = FindWindowW(nullptr, L"No Such Title");
    Report(kGroup, "find_nothing",
           YesNo(noClass != nullptr) + " " + Error(noClassError) + " " + YesNo(noTitle != nullptr) + " " +
               Error(GetLastError()));

    const LONG_PTR first = SetWindowLongPtrW(window, GWLP_USERDATA, 57);
    const LONG_PTR second = SetWindowLongPtrW(window, GWLP_USERDATA, 58);
    Report(kGroup, "user_data",
           Number(first) + " " + Number(second) + " " + Number(GetWindowLongPtrW(window, GWLP_USERDATA)));

    const BOOL wasDisabled = EnableWindow(window, FALSE);
    const BOOL enabledNow = IsWindowEnabled(window);
    const BOOL wasDisabledAfter = EnableWindow(window, TRUE);
    Report(kGroup, "enable",
           YesNo(wasDisabled) + " " + YesNo(enabledNow) + " " + YesNo(wasDisabledAfter) + " " +
               YesNo(IsWindowEnabled(window)));

    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Report(kGroup, "topmost_style", YesNo((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0));
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Report(kGroup, "not_topmost_style", YesNo((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0));

    // Made topmost without SWP_NOACTIVATE, a hidden window is activated all the same.
    HWND hidden = MakeWindow(L"Conformance Hidden");
    SetWindowPos(hidden, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpMessages();
    Report(kGroup, "topmost_hidden_activates",
           YesNo(GetForegroundWindow() == hidden) + " " + YesNo(GetActiveWindow() == hidden) + " " +
               YesNo(IsWindowVisible(hidden)));

    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    PumpMessages();
    Report(kGroup, "foreground", YesNo(GetForegroundWindow() == window) + " " + YesNo(GetActiveWindow() == window));
    HWND other = MakeWindow(L"Conformance Other", 200, 0, 50, 50);
    ShowWindow(other, SW_SHOWNA);
    PumpMessages();
    Report(kGroup, "show_without_activating", YesNo(GetActiveWindow() == window));
    ShowWindow(other, SW_SHOW);
    PumpMessages();
    Report(kGroup, "show_activates", YesNo(GetActiveWindow() == other));

    MessageLog::Instance().Take();
    DestroyWindow(other);
    const std::string destroyed = MessageLog::Instance().Take();
    Report(kGroup, "destroy", YesNo(IsWindow(other)) + " " + destroyed);
    Report(kGroup, "destroy_twice", YesNo(DestroyWindow(other)));
    Report(kGroup, "active_after_destroy", YesNo(GetActiveWindow() == other));

    DestroyWindow(hidden);
    DestroyWindow(window);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
