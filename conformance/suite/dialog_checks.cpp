// Dialogs: the modal loop and its owner, EndDialog from anywhere, Esc and Enter, the focus and
// the default button, WM_QUIT inside the loop, controls' keys and words, and dialogs destroyed.
#include "conformance_resource.h"
#include "report.hpp"
#include "test_window.hpp"

#include <cstdio>
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

std::string Hex(LONG_PTR value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(value));
    return text;
}

// A control that takes every key itself, logging the presses.
std::string g_keysTaken;

LRESULT CALLBACK KeyTakerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE)
        return DLGC_WANTALLKEYS;
    if (message == WM_KEYDOWN) {
        g_keysTaken += (g_keysTaken.empty() ? "" : ",") + std::string("down") + Number(static_cast<long long>(wParam));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
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
    Report(kGroup, "window_procedure_word",
           YesNo(GetWindowLongPtrW(ticking, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(OwnerProc)));
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

    // The default dialog procedure on a window that is no dialog, or on none.
    HDC dc = GetDC(owner);
    const LRESULT erased = DefDlgProcW(owner, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(owner, dc);
    Report(kGroup, "default_procedure_of_no_dialog",
           Number(erased) + " " + Number(DefDlgProcW(nullptr, WM_ERASEBKGND, 0, 0)));

    std::string words;
    Run(owner, nullptr, [&](HWND d) {
        HWND other = GetDlgItem(d, IDC_OTHER);
        const LONG oldId = SetWindowLongW(other, GWL_ID, 1234);
        words = Number(oldId) + " " + YesNo(GetDlgItem(d, 1234) == other);
        const LONG style = GetWindowLongW(other, GWL_STYLE);
        const LONG oldStyle = SetWindowLongW(other, GWL_STYLE, style | WS_GROUP | WS_DISABLED);
        words += " " + YesNo(oldStyle == style) + " " + Hex(GetWindowLongW(other, GWL_STYLE) ^ style) + " " +
                 YesNo(IsWindowEnabled(other));
        // Topmost is for SetWindowPos alone.
        const LONG exStyle = GetWindowLongW(other, GWL_EXSTYLE);
        const LONG oldExStyle = SetWindowLongW(other, GWL_EXSTYLE, exStyle | WS_EX_APPWINDOW | WS_EX_TOPMOST);
        words += " " + YesNo(oldExStyle == exStyle) + " " + Hex(GetWindowLongW(other, GWL_EXSTYLE) ^ exStyle);
        EndDialog(d, 0);
    });
    Report(kGroup, "control_words", words);

    // A control that asks for every key gets Esc and Enter, which end nothing.
    WNDCLASSW takerClass{};
    takerClass.lpfnWndProc = KeyTakerProc;
    takerClass.hInstance = GetModuleHandleW(nullptr);
    takerClass.lpszClassName = L"ConformanceKeyTaker";
    RegisterClassW(&takerClass);
    LRESULT buttonCode = 0;
    const INT_PTR keys = Run(owner, nullptr, [&](HWND d) {
        buttonCode = SendMessageW(GetDlgItem(d, IDC_OTHER), WM_GETDLGCODE, 0, 0);
        HWND taker = CreateWindowExW(0, L"ConformanceKeyTaker", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10,
                                     d, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetFocus(taker);
        PressKey(taker, VK_ESCAPE);
        PressKey(taker, VK_RETURN);
        PostMessageW(d, WM_COMMAND, 8, 0);
    });
    Report(kGroup, "keys_for_a_control_that_wants_them", Number(keys) + " " + g_seen + " " + g_keysTaken);
    Report(kGroup, "button_dialog_code", Hex(buttonCode));

    // DM_SETDEFID moves the default to another button, or to an id no item has; Enter presses it.
    std::string defaults;
    const INT_PTR enterOnNewDefault = Run(owner, nullptr, [&](HWND d) {
        SendMessageW(d, DM_SETDEFID, IDC_OTHER, 0);
        const LRESULT other = SendMessageW(d, DM_GETDEFID, 0, 0);
        defaults = Number(LOWORD(other)) + " " + YesNo(HIWORD(other) == DC_HASDEFID) + " styles " +
                   Number(GetWindowLongW(GetDlgItem(d, IDC_DEFAULT), GWL_STYLE) & 0x0F) + "," +
                   Number(GetWindowLongW(GetDlgItem(d, IDC_OTHER), GWL_STYLE) & 0x0F);
        SendMessageW(d, DM_SETDEFID, 999, 0);
        defaults += " then " + Number(LOWORD(SendMessageW(d, DM_GETDEFID, 0, 0)));
        SendMessageW(d, DM_SETDEFID, IDC_OTHER, 0);
        SetFocus(d);
        PressKey(d, VK_RETURN);
    });
    Report(kGroup, "set_default_id", defaults + ", enter " + Number(enterOnNewDefault) + " " + g_seen);

    // Enter leaves a disabled default button alone.
    const INT_PTR disabledDefault = Run(owner, nullptr, [](HWND d) {
        EnableWindow(GetDlgItem(d, IDC_DEFAULT), FALSE);
        SetFocus(d);
        PressKey(d, VK_RETURN);
        PostMessageW(d, WM_COMMAND, 8, 0);
    });
    Report(kGroup, "enter_with_a_disabled_default", Number(disabledDefault) + " " + g_seen);

    // Tab goes round the tab stops in order, skipping a disabled one.
    std::string tabbed;
    int tabs = 0;
    Run(owner, nullptr, [&](HWND d) {
        if (tabs == 0) {
            EnableWindow(GetDlgItem(d, IDC_DEFAULT), FALSE);
            SetFocus(GetDlgItem(d, IDC_FIRST));
        }
        tabbed += (tabbed.empty() ? "" : " ") + Number(IdOf(GetFocus()));
        if (++tabs == 4) {
            EndDialog(d, 0);
            return;
        }
        PressKey(GetFocus(), VK_TAB);
        PostMessageW(d, kStep, 0, 0);
    });
    Report(kGroup, "tab_moves_the_focus", tabbed);

    // A control that cannot be made fails the dialog: its procedure never runs.
    g_seen.clear();
    SetLastError(0);
    const INT_PTR badControl = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_BAD_CONTROL), owner,
                                               CheckDialogProc, 0);
    Report(kGroup, "control_of_no_class", Number(badControl) + " " + YesNo(IsWindowEnabled(owner)) + " " +
                                              (g_seen.empty() ? "-" : g_seen));

    // A template that is not there, and an owner that is not a window.
    SetLastError(0);
    const INT_PTR missing =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(999), owner, CheckDialogProc, 0);
    const DWORD missingError = GetLastError();
    SetLastError(0);
    const INT_PTR badOwner = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONFORMANCE),
                                             reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4444)), CheckDialogProc, 0);
    Report(kGroup, "bad_template_or_owner",
           Number(missing) + " " + Error(missingError) + " " + Number(badOwner) + " " + Error(GetLastError()));

    // EndDialog of a window that is no dialog, and of none: nothing happens to the window.
    const BOOL endedOwner = EndDialog(owner, 3);
    const BOOL endedNothing = EndDialog(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4444)), 3);
    Report(kGroup, "end_dialog_of_no_dialog",
           YesNo(endedOwner) + " " + YesNo(endedNothing) + " " + YesNo(IsWindow(owner)) + " " +
               YesNo(IsWindowVisible(owner)) + " " + YesNo(IsWindowEnabled(owner)));

    // Destroyed in WM_INITDIALOG, the dialog fails; destroyed later, it ends with 0.
    SetLastError(0);
    const INT_PTR destroyedInInit = Run(
        owner, [](HWND d) { return DestroyWindow(d), TRUE; }, nullptr);
    Report(kGroup, "destroyed_in_init", Number(destroyedInInit) + " " + Error(GetLastError()));
    const INT_PTR destroyedUp = Run(owner, nullptr, [](HWND d) { DestroyWindow(d); });
    Report(kGroup, "destroyed_while_up", Number(destroyedUp));
    EnableWindow(owner, TRUE);

    DestroyWindow(owner);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
