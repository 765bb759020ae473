// Modal dialogs: the loop that keeps the owner's messages going, the owner's disabling, and
// the keyboard and buttons that end a dialog.
#include "window_test_support.hpp"

#include "window/window_call.hpp"

namespace velorin::test {
namespace {

resources::DialogTemplate twoButtonDialog(DWORD secondStyle = BS_PUSHBUTTON)
{
    resources::DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.cx = 124;
    t.cy = 54;
    t.caption = L"Question";
    t.items.push_back({BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 0, 7, 33, 50, 14, 1000, L"BUTTON", L"Dismiss"});
    t.items.push_back({secondStyle | WS_VISIBLE | WS_TABSTOP, 0, 67, 33, 50, 14, 1001, L"BUTTON", L"Close"});
    t.items.push_back({SS_LEFT | WS_VISIBLE | WS_GROUP, 0, 7, 6, 110, 25, -1, L"STATIC", L"Really?"});
    return t;
}

struct DialogRun {
    HWND owner = nullptr;
    INT_PTR result = 0;
    int command = 0;
    BOOL ownerEnabledWhileUp = TRUE;
    BOOL ownerEnabledAtDestroy = FALSE;
    HWND focusAtStart = nullptr;
    HWND firstButton = nullptr;
};
DialogRun g_run;

INT_PTR CALLBACK recordingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        g_run.ownerEnabledWhileUp = IsWindowEnabled(g_run.owner);
        g_run.firstButton = GetDlgItem(dialog, 1000);
        return TRUE;
    case WM_COMMAND:
        g_run.command = LOWORD(wParam);
        EndDialog(dialog, LOWORD(wParam) + 10);
        return TRUE;
    case WM_DESTROY:
        g_run.ownerEnabledAtDestroy = IsWindowEnabled(g_run.owner);
        return FALSE;
    default:
        return FALSE;
    }
}

void runDialog(const resources::DialogTemplate& t)
{
    g_run.owner = createRecorder(L"Owner", {0, 0, 240, 320});
    ValidateRect(g_run.owner, nullptr);
    SetTimer(g_run.owner, 1, 100, nullptr);
    PostMessageW(g_run.owner, WM_USER + 5, 0, 0);
    g_run.result = velorin::window::windowManager().dialogBox(t, g_run.owner, recordingDialogProc, 0);
    KillTimer(g_run.owner, 1);
    g_run.focusAtStart = GetFocus();
}

TEST(Dialog, ModalLoopKeepsTheDisabledOwnersTimersAndPostsGoing)
{
    g_run = {};
    Device device;
    launch(device, [] { runDialog(twoButtonDialog()); });
    device.runUntil(350);
    const auto close = device.windows().buttonCentre(L"Close");
    ASSERT_TRUE(close);
    device.windows().tap(close->x, close->y);
    device.runUntil(1000);
    EXPECT_EQ(MessageLog::instance().take(),
              (Lines{"0 WM_USER+5 0", "100 WM_TIMER 1", "200 WM_TIMER 1", "300 WM_TIMER 1"}));
    EXPECT_EQ(g_run.command, 1001);
    EXPECT_EQ(g_run.result, 1011);
    EXPECT_FALSE(g_run.ownerEnabledWhileUp);
    EXPECT_TRUE(g_run.ownerEnabledAtDestroy);
}

TEST(Dialog, EscapeCancelsAndEnterConfirms)
{
    struct Case {
        UINT key;
        DWORD secondStyle;
        int command;
    };
    for (const Case& c : {Case{VK_ESCAPE, BS_PUSHBUTTON, IDCANCEL}, Case{VK_RETURN, BS_PUSHBUTTON, IDOK},
                          Case{VK_RETURN, BS_DEFPUSHBUTTON, 1001}}) {
        g_run = {};
        Device device;
        launch(device, [secondStyle = c.secondStyle] { runDialog(twoButtonDialog(secondStyle)); });
        device.runUntil(50);
        device.windows().key(c.key);
        device.runUntil(100);
        EXPECT_EQ(g_run.command, c.command) << "key " << c.key;
        MessageLog::instance().take();
    }
}

TEST(Dialog, FocusStartsOnTheFirstTabStopAndTheCaptionCloseBoxCancels)
{
    g_run = {};
    Device device;
    static HWND s_focusWhileUp = nullptr;
    launch(device, [] {
        SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { s_focusWhileUp = GetFocus(); });
        runDialog(twoButtonDialog());
    });
    device.runUntil(120);
    EXPECT_EQ(s_focusWhileUp, g_run.firstButton);
    // The close box sits at the right end of the caption bar.
    RECT dialogRect{};
    {
        std::lock_guard lock(device.kernel().mutex());
        auto& wm = device.windows();
        dialogRect = wm.findLocked(wm.foregroundLocked())->rect;
    }
    device.windows().tap(dialogRect.right - 10, dialogRect.top + 10);
    device.runUntil(200);
    EXPECT_EQ(g_run.command, IDCANCEL);
    MessageLog::instance().take();
}

INT_PTR CALLBACK replacementDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_COMMAND)
        return FALSE;
    EndDialog(dialog, 99);
    return TRUE;
}

TEST(Dialog, TheProcedureWordGivesTheDialogProcedureAndReplacesIt)
{
    g_run = {};
    Device device;
    static LONG_PTR s_procedure = 0, s_previous = 0;
    launch(device, [] {
        SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            HWND dialog = GetActiveWindow();
            s_procedure = GetWindowLongPtrW(dialog, DWL_DLGPROC);
            s_previous = SetWindowLongPtrW(dialog, DWL_DLGPROC, reinterpret_cast<LONG_PTR>(replacementDialogProc));
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        runDialog(twoButtonDialog());
    });
    device.runUntil(200);
    EXPECT_EQ(s_procedure, reinterpret_cast<LONG_PTR>(recordingDialogProc));
    EXPECT_EQ(s_previous, s_procedure);
    EXPECT_EQ(g_run.command, 0);  // the replaced procedure saw no command
    EXPECT_EQ(g_run.result, 99);
    MessageLog::instance().take();
}

}  // namespace
}  // namespace velorin::test
