// Input: where a tap lands and in whose client coordinates, activation by a tap, a disabled
// control and a disabled window, keys to the focus, and the characters TranslateMessage makes.
#include "report.hpp"

#include <initializer_list>
#include <vector>
#include "test_window.hpp"

namespace conformance {

namespace {

constexpr char kGroup[] = "input";
// The desktop's presses and releases on a frame or caption; CE sends none and names none.
constexpr UINT kNonClientDown = 0x00A1;
constexpr UINT kNonClientUp = 0x00A2;

struct Named {
    HWND hwnd;
    const char* name;
};

// Input is queued when SendInput returns; the pause lets a desktop's pointer catch up.
void Settle()
{
    Sleep(20);
    PumpMessages();
}

// Sends one event and leaves what it gave in the queue.
void SendOne(INPUT input)
{
    SendInput(1, &input, sizeof input);
    Sleep(20);
}

void PressKey(WORD virtualKey)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    SendOne(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendOne(input);
}

const char* NameOf(HWND hwnd, const std::vector<Named>& windows)
{
    for (const Named& window : windows) {
        if (window.hwnd == hwnd)
            return window.name;
    }
    return "other";
}

std::string Point(LPARAM lParam)
{
    return "(" + Number(static_cast<short>(LOWORD(lParam))) + "," + Number(static_cast<short>(HIWORD(lParam))) + ")";
}

// "down(x,y) keys", "keydown 27" and the like, or "" for a message that is no input.
std::string InputName(const MSG& msg)
{
    const std::string w = Number(static_cast<long long>(msg.wParam));
    switch (msg.message) {
    case WM_LBUTTONDOWN:
        return "down" + Point(msg.lParam) + " " + w;
    case WM_LBUTTONUP:
        return "up" + Point(msg.lParam) + " " + w;
    case kNonClientDown:
        return "ncdown" + Point(msg.lParam) + " " + w;
    case kNonClientUp:
        return "ncup" + Point(msg.lParam) + " " + w;
    case WM_KEYDOWN:
        return "keydown " + w;
    case WM_KEYUP:
        return "keyup " + w;
    case WM_CHAR:
        return "char " + w;
    default:
        return "";
    }
}

// Runs the queue like a message loop and names the button and key messages it passes on, with
// the window they are for: "<window> <what>", in order.
std::string InputMessages(const std::vector<Named>& windows)
{
    std::string seen;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const std::string what = InputName(msg);
        if (!what.empty())
            seen += (seen.empty() ? "" : ", ") + std::string(NameOf(msg.hwnd, windows)) + " " + what;
        // A press on a caption would start moving the window on a desktop.
        if (msg.message == kNonClientDown || msg.message == kNonClientUp)
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return seen.empty() ? "-" : seen;
}

// A press and release at a screen point, each event carrying the point as a pen's does, and
// what the queue had for them.
std::string TapAndSee(int x, int y, const std::vector<Named>& windows)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::string seen;
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65536 + height - 1) / height);
    for (const DWORD button : {DWORD{0}, DWORD{MOUSEEVENTF_LEFTDOWN}, DWORD{MOUSEEVENTF_LEFTUP}}) {
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
        SendOne(input);
        const std::string now = InputMessages(windows);
        if (now != "-")
            seen += (seen.empty() ? "" : ", ") + now;
    }
    return seen.empty() ? "-" : seen;
}

// The character messages TranslateMessage posts for a key press, and what it answered.
std::string Translated(HWND hwnd, UINT message, WPARAM key)
{
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = key;
    msg.lParam = message == WM_KEYDOWN ? 1 : static_cast<LPARAM>(0xC0000001u);
    const BOOL answered = TranslateMessage(&msg);
    std::string characters;
    while (PeekMessageW(&msg, hwnd, WM_CHAR, WM_CHAR, PM_REMOVE))
        characters += (characters.empty() ? "" : "+") + Number(static_cast<long long>(msg.wParam));
    return YesNo(answered) + " " + (characters.empty() ? "-" : characters);
}

std::string TranslatedKeys(HWND hwnd, std::initializer_list<WPARAM> keys)
{
    std::string all;
    for (const WPARAM key : keys)
        all += (all.empty() ? "" : " ") + Translated(hwnd, WM_KEYDOWN, key);
    return all;
}

// Taps on a child that its parent clips, on overlapping children as their order changes, and on
// a frame and a caption.
void RunChildAndFrameTaps()
{
    HWND parent = MakeWindow(L"Conformance Input Parent", 20, 40, 120, 100);
    ShowWindow(parent, SW_SHOW);
    SetForegroundWindow(parent);
    const auto makeChild = [parent](int x, int y, int width, int height) {
        return CreateWindowExW(0, L"ConformanceWindow", L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    };
    HWND clipped = makeChild(-10, -10, 40, 40);
    Settle();
    std::vector<Named> windows{{parent, "parent"}, {clipped, "clipped"}};
    Report(kGroup, "tap_on_a_clipped_child", TapAndSee(25, 45, windows));
    DestroyWindow(clipped);

    HWND lower = makeChild(40, 30, 50, 40);
    HWND upper = makeChild(60, 50, 50, 40);
    Settle();
    windows = {{parent, "parent"}, {lower, "lower"}, {upper, "upper"}};
    // (85, 95) on the screen is (65, 55) in the parent, where the two overlap.
    std::string order = TapAndSee(85, 95, windows);
    SetWindowPos(lower, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    order += " / " + TapAndSee(85, 95, windows);
    SetWindowPos(upper, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    order += " / " + TapAndSee(85, 95, windows);
    SetWindowPos(lower, upper, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    order += " / " + TapAndSee(85, 95, windows);
    Report(kGroup, "tap_follows_child_order", order);
    DestroyWindow(parent);

    // A caption with no system menu, so that no button lies on it.
    HWND framed = CreateWindowExW(0, L"ConformanceWindow", L"Framed", WS_POPUP | WS_CAPTION | WS_VISIBLE, 30, 60, 150,
                                  120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(framed);
    Settle();
    windows = {{framed, "framed"}};
    Report(kGroup, "tap_on_a_frame", TapAndSee(31, 120, windows));
    Report(kGroup, "tap_on_a_caption", TapAndSee(100, 70, windows));
    DestroyWindow(framed);
    Settle();
    MessageLog::Instance().Take();
}

// An owner left disabled under its owned popup, as a modal dialog leaves it, is made the
// foreground again, by SetForegroundWindow and by being shown again; then Esc is pressed.
void RunKeysUnderADisabledOwner()
{
    HWND owner = MakeWindow(L"Conformance Input Owner", 20, 40, 120, 100);
    ShowWindow(owner, SW_SHOW);
    SetForegroundWindow(owner);
    HWND popup = CreateWindowExW(0, L"ConformanceWindow", L"Popup", WS_POPUP | WS_VISIBLE, 40, 60, 60, 40, owner,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    EnableWindow(owner, FALSE);
    SetForegroundWindow(popup);
    Settle();
    const std::vector<Named> windows{{owner, "owner"}, {popup, "popup"}, {nullptr, "none"}};
    const auto where = [&] {
        return std::string(NameOf(GetForegroundWindow(), windows)) + " " + NameOf(GetActiveWindow(), windows) + " " +
               NameOf(GetFocus(), windows);
    };
    std::string seen = YesNo(SetForegroundWindow(owner));
    seen += " " + where();
    ShowWindow(owner, SW_HIDE);
    ShowWindow(owner, SW_SHOW);
    seen += " / " + where();
    Settle();
    PressKey(VK_ESCAPE);
    seen += " / " + InputMessages(windows);
    Report(kGroup, "keys_under_a_disabled_owner", seen);
    DestroyWindow(owner);
    Settle();
    MessageLog::Instance().Take();
}

}  // namespace

void RunInputChecks()
{
    HWND first = MakeWindow(L"Conformance Input First", 20, 40, 120, 100);
    HWND second = MakeWindow(L"Conformance Input Second", 140, 200, 80, 80);
    ShowWindow(second, SW_SHOW);
    ShowWindow(first, SW_SHOW);
    SetForegroundWindow(first);
    HWND child = CreateWindowExW(0, L"ConformanceWindow", L"", WS_CHILD | WS_VISIBLE, 10, 20, 50, 30, first, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    Settle();
    const std::vector<Named> windows{{first, "first"}, {second, "second"}, {child, "child"}};

    Report(kGroup, "tap_in_client_coordinates", TapAndSee(100, 110, windows));
    Report(kGroup, "tap_on_a_child", TapAndSee(35, 67, windows));
    const std::string activating = TapAndSee(150, 230, windows);
    Report(kGroup, "tap_activates", activating + " " + NameOf(GetForegroundWindow(), windows));

    EnableWindow(child, FALSE);
    Report(kGroup, "tap_on_a_disabled_child", TapAndSee(35, 67, windows));
    EnableWindow(child, TRUE);
    EnableWindow(first, FALSE);
    const std::string onDisabled = TapAndSee(100, 110, windows);
    Report(kGroup, "tap_on_a_disabled_window", onDisabled + " " + NameOf(GetForegroundWindow(), windows));
    EnableWindow(first, TRUE);

    SetForegroundWindow(first);
    SetFocus(child);
    Settle();
    PressKey('Q');
    Report(kGroup, "key_to_the_focus", InputMessages(windows));
    INPUT none{};
    none.type = INPUT_KEYBOARD;
    SetLastError(0);
    const UINT shortRecord = SendInput(1, &none, sizeof none - 1);
    Report(kGroup, "input_record_size_checked", Number(shortRecord) + " " + Error(GetLastError()));

    Report(kGroup, "translate_letter", Translated(child, WM_KEYDOWN, 'Q'));
    Report(kGroup, "translate_digit_and_space", TranslatedKeys(child, {'7', VK_SPACE}));
    // The keypad's +, and the full stop of the main keys.
    Report(kGroup, "translate_keypad_and_punctuation", TranslatedKeys(child, {0x6B, 0xBE}));
    Report(kGroup, "translate_controls", TranslatedKeys(child, {VK_RETURN, VK_ESCAPE, VK_BACK, VK_TAB}));
    // F1 and the left arrow.
    Report(kGroup, "translate_key_without_character", TranslatedKeys(child, {0x70, 0x25}));
    Report(kGroup, "translate_release", Translated(child, WM_KEYUP, 'Q'));
    Report(kGroup, "translate_other_message", Translated(child, WM_LBUTTONDOWN, 'Q'));

    DestroyWindow(first);
    DestroyWindow(second);
    Settle();
    MessageLog::Instance().Take();
    RunChildAndFrameTaps();
    RunKeysUnderADisabledOwner();
}

}  // namespace conformance
