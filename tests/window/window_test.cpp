// Windows: finding them, input reaching them, painting them, and their words.
#include "window_test_support.hpp"

namespace velorin::test {
namespace {

using Window = DeviceTest;

TEST_F(Window, FindWindowMatchesHiddenWindowsByWholeTitleInAnyCase)
{
    static HWND s_created, s_found, s_partial, s_byClass;
    launch(device, [] {
        s_created = createRecorder(L"Velorin", {0, 0, 10, 10}, WS_POPUP);
        s_found = FindWindowW(nullptr, L"VELORIN");
        s_partial = FindWindowW(nullptr, L"Velori");
        s_byClass = FindWindowW(L"recorder", nullptr);
    });
    device.runFor(10);
    EXPECT_NE(s_created, nullptr);
    EXPECT_EQ(s_found, s_created);
    EXPECT_EQ(s_partial, nullptr);
    EXPECT_EQ(s_byClass, s_created);
}

TEST_F(Window, ATapReachesTheTopmostEnabledWindowInClientPixelsAndADisabledOneNothing)
{
    static HWND s_lower, s_upper;
    launch(device, [] {
        s_lower = createRecorder(L"Lower", {0, 0, 240, 320});
        s_upper = createRecorder(L"Upper", {20, 30, 120, 130});
        ValidateRect(s_lower, nullptr);
        ValidateRect(s_upper, nullptr);
        pump();
    });
    device.runFor(10);
    device.windows().tap(25, 40);  // the upper window, 5 and 10 pixels into it
    device.runFor(10);
    EXPECT_EQ(MessageLog::instance().take(), (Lines{"10 WM_LBUTTONDOWN 1 (5,10)", "10 WM_LBUTTONUP 0 (5,10)"}));
    {
        std::lock_guard lock(device.kernel().mutex());
        device.windows().enableLocked(*device.windows().findLocked(s_upper), false);
    }
    device.windows().tap(25, 40);  // disabled: it swallows the tap, nothing beneath gets it
    device.runFor(10);
    EXPECT_EQ(MessageLog::instance().take(), Lines{});
    device.windows().tap(200, 300);  // only the lower window there; the tap brings it to the front
    device.windows().tap(25, 40);
    device.runFor(10);
    EXPECT_EQ(MessageLog::instance().take(), (Lines{"30 WM_LBUTTONDOWN 1 (200,300)", "30 WM_LBUTTONUP 0 (200,300)",
                                                    "30 WM_LBUTTONDOWN 1 (25,40)", "30 WM_LBUTTONUP 0 (25,40)"}));
}

TEST_F(Window, InputWaitsForPostedMessagesAndADisabledControlPassesItsTapToItsParent)
{
    static HWND s_window, s_control;
    launch(device, [] {
        s_window = createRecorder(L"Window", {20, 30, 120, 130});
        s_control = CreateWindowExW(0, L"Recorder", L"", WS_CHILD | WS_VISIBLE, 10, 10, 40, 40, s_window, nullptr,
                                    nullptr, nullptr);
        ValidateRect(s_window, nullptr);
        ValidateRect(s_control, nullptr);
        pump();
    });
    device.runFor(10);
    MessageLog::instance().take();
    device.windows().tap(35, 45);  // 5 pixels into the control
    device.windows().post(s_window, WM_USER + 1, 0, 0);
    device.runFor(10);
    // What was posted goes first, even after the tap.
    EXPECT_EQ(MessageLog::instance().take(),
              (Lines{"10 WM_USER+1 0", "10 WM_LBUTTONDOWN 1 (5,5)", "10 WM_LBUTTONUP 0 (5,5)"}));
    {
        std::lock_guard lock(device.kernel().mutex());
        device.windows().enableLocked(*device.windows().findLocked(s_control), false);
    }
    device.windows().tap(35, 45);
    device.runFor(10);
    EXPECT_EQ(MessageLog::instance().take(), (Lines{"20 WM_LBUTTONDOWN 1 (15,15)", "20 WM_LBUTTONUP 0 (15,15)"}));
}

TEST_F(Window, KeysGoToTheFocusAndMakeTheCharactersOfAnUnshiftedUSLayout)
{
    static HWND s_window;
    launch(device, [] {
        s_window = createRecorder(L"Window", {20, 30, 120, 130});
        ValidateRect(s_window, nullptr);
        SetForegroundWindow(s_window);
        pump();
    });
    device.runFor(10);
    MessageLog::instance().take();
    for (const UINT key : {UINT{'Q'}, UINT{'7'}, UINT{0x6B}, UINT{0x70}, UINT{VK_RETURN}})
        device.windows().key(key);
    device.runFor(10);
    // F1 (0x70) makes no character; a letter is lower case; the keypad's + (0x6B) is '+'.
    EXPECT_EQ(MessageLog::instance().take(),
              (Lines{"10 WM_KEYDOWN 81", "10 WM_CHAR 113", "10 WM_KEYDOWN 55", "10 WM_CHAR 55", "10 WM_KEYDOWN 107",
                     "10 WM_CHAR 43", "10 WM_KEYDOWN 112", "10 WM_KEYDOWN 13", "10 WM_CHAR 13"}));
}

TEST_F(Window, InvalidationErasesThenPaintsAndWaitsWhileHidden)
{
    static HWND s_window;
    launch(device, [] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = recordingProc;
        cls.lpszClassName = L"Eraser";
        cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClassW(&cls);
        s_window = CreateWindowExW(0, L"Eraser", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        InvalidateRect(s_window, nullptr, TRUE);
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
            static int tick = 0;
            if (++tick == 1)
                ShowWindow(s_window, SW_SHOW);  // erased before it returns; the paint follows
            else if (tick == 2)
                InvalidateRect(s_window, nullptr, FALSE);
            else
                PostQuitMessage(0);
        });
        pump();
    });
    device.runFor(1000);
    EXPECT_EQ(MessageLog::instance().take(), (Lines{"100 WM_ERASEBKGND hdc", "100 WM_PAINT 0", "200 WM_PAINT 0"}));
}

TEST_F(Window, UserDataIsOneWordPerWindow)
{
    static LONG s_previous = -1, s_read = -1, s_other = -1;
    launch(device, [] {
        HWND a = createRecorder(L"A");
        HWND b = createRecorder(L"B");
        SetWindowLongW(a, GWL_USERDATA, 57);
        s_previous = SetWindowLongW(a, GWL_USERDATA, 255);
        s_read = GetWindowLongW(a, GWL_USERDATA);
        s_other = GetWindowLongW(b, GWL_USERDATA);
    });
    device.runFor(10);
    EXPECT_EQ(s_previous, 57);
    EXPECT_EQ(s_read, 255);
    EXPECT_EQ(s_other, 0);
}

TEST_F(Window, UserDataHoldsAPointerWhoseLowHalfTheLongCallsSee)
{
    static const auto kWide = static_cast<LONG_PTR>(0x12345678ABCDEF01ULL & ~std::uintptr_t{0});
    static LONG_PTR s_wide = 0, s_previous = 0;
    static LONG s_low = 0;
    launch(device, [] {
        HWND a = createRecorder(L"A");
        SetWindowLongW(a, GWL_USERDATA, -2);
        s_previous = SetWindowLongPtrW(a, GWLP_USERDATA, kWide);
        s_wide = GetWindowLongPtrW(a, GWLP_USERDATA);
        s_low = GetWindowLongW(a, GWL_USERDATA);
    });
    device.runFor(10);
    EXPECT_EQ(s_previous, -2);  // a LONG stored is widened with its sign
    EXPECT_EQ(s_wide, kWide);
    EXPECT_EQ(s_low, static_cast<LONG>(kWide));
}

TEST_F(Window, AnOverlappedWindowLeftToTheSystemFillsTheScreenFromTheCorner)
{
    static RECT s_rect{};
    launch(device, [] {
        registerRecorder();
        HWND w = CreateWindowExW(0, L"Recorder", L"Main", WS_OVERLAPPED, CW_USEDEFAULT, 40, CW_USEDEFAULT, 50, nullptr,
                                 nullptr, nullptr, nullptr);
        GetWindowRect(w, &s_rect);
    });
    device.runFor(10);
    EXPECT_EQ(s_rect.left, 0);
    EXPECT_EQ(s_rect.top, 0);
    EXPECT_EQ(s_rect.right, device.windows().display().width());
    EXPECT_EQ(s_rect.bottom, device.windows().display().height());
}

}  // namespace
}  // namespace velorin::test
