// Dialogs: the modal loop and its owner, EndDialog from anywhere, Esc and Enter, the focus and
// the default button, and WM_QUIT inside the loop.
#include "conformance_resource.h"
#include "report.hpp"
#include "test_window.hpp"

#include <functional>

namespace conformance {

namespace {

constexpr char kGroup[] = "dialogs";
constexpr UINT kStep = WM_USER + 50;  // posted by WM_INITDIALOG: the loop is running by then
// A dialog that nothing ends is ended by this timer, with this result, so that a system that
// misses a check goes on to the next.
constexpr UINT_PTR kWatchdog = 77;
constexpr UINT kWatchdogMs = 2000;
constexpr INT_PTR kTimedOut = -7;

// What the current dialog does at WM_INITDIALOG and at its first posted step.
std::function<BOOL(HWND)> g_onInit;
std::function<void(HWND)> g_onStep;
std::string g_seen;

INT_PTR CALLBACK CheckDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetTimer(dialog, kWatchdog, kWatchdogMs, nullptr);
        PostMessageW(dialog, kStep, 0, 0);
        return g_onInit ? g_onInit(dialog) : TRUE;
    }
    case kStep:
        if (g_onStep)
            g_onStep(dialog);
        return TRUE;
    case WM_TIMER:
        if (wParam == kWatchdog) {
            g_seen += (g_seen.empty() ? "" : ",") + std::string("timed out");
            EndDialog(dialog, kTimedOut);
        }
        return TRUE;
    case WM_COMMAND:
        g_seen += (g_seen.empty() ? "" : ",") + std::string("command") + Number(LOWORD(wParam));
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR Run(HWND owner, std::function<BOOL(HWND)> onInit, std::function<void(HWND)> onStep)
{
    g_onInit = std::move(onInit);
    g_onStep = std::move(onStep);
    g_seen.clear();
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONFORMANCE), owner, CheckDialogProc, 0);
    g_onInit = nullptr;
    g_onStep = nullptr;
    return result;
}

LONG IdOf(HWND hwnd)
{
    return hwnd ? GetWindowLongW(hwnd, GWL_ID) : -1;
}

std::string TextOf(HWND hwnd)
{
    wchar_t text[64] = L"";
    GetWindowTextW(hwnd, text, 64);
    std::string narrow;
    for (const wchar_t* c = text; *c; ++c)
        narrow += static_cast<char>(*c);
    return narrow;
}

// An owner whose timer ends the dialog up now at its third tick, counting its ticks.
HWND g_dialogUp = nullptr;
int g_ownerTicks = 0;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        if (++g_ownerTicks == 3 && g_dialogUp)
            EndDialog(g_dialogUp, 9);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void PressKey(HWND target, WPARAM key)
{
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

}  // namespace

void RunDialogChecks()
{
    HWND owner = MakeWindow(L"Conformance Owner", 0, 0, 200, 200);
    ShowWindow(owner, SW_SHOW);
    PumpMessages();
    MessageLog::Instance().Take();

    Report(kGroup, "end_in_init",
           Number(Run(
               owner, [](HWND d) { return EndDialog(d, 5), TRUE; }, nullptr)));

    BOOL ownerEnabledInside = TRUE;
    std::string items;
    const INT_PTR posted = Run(
        owner,
        [&](HWND d) {
            ownerEnabledInside = IsWindowEnabled(owner);
            items = TextOf(d) + "|" + TextOf(GetDlgItem(d, IDC_OTHER)) + "|" + YesNo(GetDlgItem(d, 999) != nullptr);
            return TRUE;
        },
        [](HWND d) { EndDialog(d, 6); });
    Report(kGroup, "end_from_a_posted_message", Number(posted));
    Report(kGroup, "owner_disabled_while_up", YesNo(ownerEnabledInside) + " then " + YesNo(IsWindowEnabled(owner)));
    Report(kGroup, "caption_and_items", items);

    LONG focused = 0;
    Run(owner, nullptr, [&](HWND d) {
        focused = IdOf(GetFocus());
        EndDialog(d, 0);
    });
    Report(kGroup, "focus_on_first_tab_stop", Number(focused));

    const INT_PTR escape = Run(owner, nullptr, [](HWND) { PressKey(GetFocus(), VK_ESCAPE); });
    Report(kGroup, "escape", Number(escape) + " " + g_seen);
    const INT_PTR enterOnButton = Run(owner, nullptr, [](HWND) { PressKey(GetFocus(), VK_RETURN); });
    Report(kGroup, "enter_on_a_focused_button", Number(enterOnButton) + " " + g_seen);
    const INT_PTR enter = Run(owner, nullptr, [](HWND d) {
        SetFocus(d);
        PressKey(d, VK_RETURN);
    });
    Report(kGroup, "enter_takes_the_default_button", Number(enter) + " " + g_seen);

    LRESULT defId = 0;
    Run(owner, nullptr, [&](HWND d) {
        defId = SendMessageW(d, DM_GETDEFID, 0, 0);
        EndDialog(d, 0);
    });
    Report(kGroup, "default_id", Number(LOWORD(defId)) + " " + YesNo(HIWORD(defId) == DC_HASDEFID));

    // The owner's timers go on while the dialog is up, and one of them can end it.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ConformanceOwner";
    RegisterClassW(&windowClass);
    HWND ticking = CreateWindowExW(0, L"ConformanceOwner", L"Conformance Ticking", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetTimer(ticking, 1, 30, nullptr);
    const INT_PTR byTimer = Run(
        ticking, [](HWND d) { return g_dialogUp = d, TRUE; }, nullptr);
    g_dialogUp = nullptr;
    Report(kGroup, "end_from_the_owners_timer", Number(byTimer) + " " + Number(g_ownerTicks));
    KillTimer(ticking, 1);
    DestroyWindow(ticking);

    // WM_QUIT ends the modal loop, and stays for the loop outside it.
    const INT_PTR quit = Run(owner, nullptr, [](HWND) { PostQuitMessage(4); });
    MSG msg;
    const BOOL quitLeft = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    Report(kGroup, "quit_inside_the_loop",
           Number(quit) + " " + YesNo(quitLeft) + " " + (quitLeft ? Number(static_cast<long long>(msg.wParam)) : "-"));

    DestroyWindow(owner);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
