// Activation and focus: the focus that comes with activation, a new owned popup, hiding without
// activating, and the focus when its window is hidden or its parent disabled.
#include "report.hpp"

#include "test_window.hpp"

namespace conformance {

namespace {

constexpr char kGroup[] = "activation";

struct Windows {
    HWND first;
    HWND second;
    HWND popup;
    HWND child;
};

std::string NameOf(HWND hwnd, const Windows& w)
{
    if (!hwnd)
        return "none";
    if (hwnd == w.first)
        return "first";
    if (hwnd == w.second)
        return "second";
    if (hwnd == w.popup)
        return "popup";
    if (hwnd == w.child)
        return "child";
    return "other";
}

// The active window, then the focus.
std::string ActiveAndFocus(const Windows& w)
{
    return NameOf(GetActiveWindow(), w) + " " + NameOf(GetFocus(), w);
}

const Windows* g_seenFromThread = nullptr;
std::string g_fromThread;

DWORD WINAPI LookFromAnotherThread(LPVOID)
{
    g_fromThread = NameOf(GetActiveWindow(), *g_seenFromThread) + " " + NameOf(GetFocus(), *g_seenFromThread) +
                   " " + NameOf(GetForegroundWindow(), *g_seenFromThread);
    return 0;
}

}  // namespace

void RunActivationChecks()
{
    Windows w{};
    w.first = MakeWindow(L"Conformance Activation First", 10, 10, 120, 100);
    w.second = MakeWindow(L"Conformance Activation Second", 60, 150, 120, 100);
    ShowWindow(w.first, SW_SHOW);
    PumpMessages();
    const std::string shown = ActiveAndFocus(w);
    ShowWindow(w.second, SW_SHOWNA);
    SetForegroundWindow(w.second);
    PumpMessages();
    Report(kGroup, "focus_comes_with_activation", shown + ", " + ActiveAndFocus(w));

    w.popup = CreateWindowExW(0, L"ConformanceWindow", L"", WS_POPUP | WS_VISIBLE, 100, 40, 60, 60, w.second,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    Report(kGroup, "visible_owned_popup_activated", ActiveAndFocus(w));

    SetWindowPos(w.popup, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW | SWP_NOACTIVATE);
    PumpMessages();
    Report(kGroup, "hidden_without_activating", ActiveAndFocus(w) + " " + YesNo(IsWindowVisible(w.popup)));
    DestroyWindow(w.popup);
    w.popup = nullptr;

    SetForegroundWindow(w.first);
    w.child = CreateWindowExW(0, L"ConformanceWindow", L"", WS_CHILD | WS_VISIBLE, 10, 10, 40, 40, w.first, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetFocus(w.child);
    ShowWindow(w.child, SW_HIDE);
    PumpMessages();
    Report(kGroup, "hidden_child_gives_focus_to_parent", ActiveAndFocus(w));

    ShowWindow(w.child, SW_SHOW);
    SetFocus(w.child);
    EnableWindow(w.first, FALSE);
    const std::string parentDisabled = ActiveAndFocus(w);
    EnableWindow(w.first, TRUE);
    SetFocus(w.child);
    EnableWindow(w.child, FALSE);
    Report(kGroup, "disabled_parent_keeps_child_focus", parentDisabled + ", " + ActiveAndFocus(w));

    // The focus taken from every window leaves the activation where it is; given to a window of
    // an inactive top-level window, it activates that window.
    EnableWindow(w.child, TRUE);
    SetFocus(w.child);
    const HWND hadFocus = SetFocus(nullptr);
    const std::string none = NameOf(hadFocus, w) + " " + ActiveAndFocus(w);
    SetFocus(w.second);
    PumpMessages();
    Report(kGroup, "focus_to_none_and_back", none + ", " + ActiveAndFocus(w) + " " +
                                                 NameOf(GetForegroundWindow(), w));

    // Focus and activation belong to the thread whose windows they are: another thread sees neither,
    // though the foreground window is the system's.
    g_seenFromThread = &w;
    HANDLE thread = CreateThread(nullptr, 0, LookFromAnotherThread, nullptr, 0, nullptr);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    Report(kGroup, "focus_seen_from_another_thread", g_fromThread);

    DestroyWindow(w.first);
    DestroyWindow(w.second);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
