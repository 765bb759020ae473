// The power manager's idle model: On, UserIdle and Suspend by the registry's time-outs from the
// last activity; what counts as activity; the named events; and SetSystemPowerState.
#include "power_test_support.hpp"

#include "sim/harness/harness.hpp"

namespace velorin::test {
namespace {

using power::PowerState;
using registry::Root;

void setTimeouts(Device& device, DWORD battUserIdle, DWORD battSuspend, DWORD acUserIdle = 0, DWORD acSuspend = 0)
{
    setDword(device, Root::LocalMachine, kTimeoutsKey, L"BattUserIdle", battUserIdle);
    setDword(device, Root::LocalMachine, kTimeoutsKey, L"BattSuspend", battSuspend);
    setDword(device, Root::LocalMachine, kTimeoutsKey, L"ACUserIdle", acUserIdle);
    setDword(device, Root::LocalMachine, kTimeoutsKey, L"ACSuspend", acSuspend);
}

// Sleeps until the device time `ms`.
void sleepUntil(DWORD ms)
{
    const DWORD now = GetTickCount();
    if (ms > now)
        Sleep(ms - now);
}

void signal(const wchar_t* name)
{
    HANDLE event = OpenEventW(EVENT_ALL_ACCESS, FALSE, name);
    EXPECT_NE(event, nullptr);
    EventModify(event, EVENT_SET);
    CloseHandle(event);
}

// A program whose thread says "tick <ms>" at 500 ms and every second after.
void ticker()
{
    Sleep(500);
    for (;;) {
        hear("tick " + std::to_string(GetTickCount()));
        Sleep(1000);
    }
}

class Idle : public ::testing::Test {
protected:
    void SetUp() override { takeHeard(); }
};

TEST_F(Idle, DimsThenSuspendsFreezingProgramsAndAPlugBringsItBack)
{
    Device device;
    setTimeouts(device, 5, 10);
    setDword(device, Root::CurrentUser, kBacklightKey, L"UseDim", 1);
    launch(device, ticker);
    device.runUntil(4999);
    EXPECT_EQ(pmState(device), PowerState::On);
    device.runUntil(20000);
    EXPECT_EQ(pmState(device), PowerState::Suspend);
    EXPECT_EQ(seen(device), (power::Backlight{false, 0}));
    const Lines awake = takeHeard();
    EXPECT_EQ(awake.size(), 10u);
    EXPECT_EQ(awake.back(), "tick 9500") << "nothing runs while the device is suspended";

    report(device, AC_LINE_ONLINE, std::nullopt);
    device.runUntil(21000);
    EXPECT_EQ(takeHeard(), (Lines{"tick 20000", "tick 21000"}));
    EXPECT_EQ(powerEvents(device),
              (Lines{"5000 pm.state UserIdle", "5000 backlight on=1 level=1", "10000 pm.state Suspend",
                     "10000 backlight on=0 level=0", "20000 power.info ac=1 percent=100", "20000 pm.state On",
                     "20000 backlight on=1 level=10"}));
    // On AC the time-outs are 0: never.
    device.runUntil(21000 + 3'600'000);
    EXPECT_EQ(pmState(device), PowerState::On);
    EXPECT_EQ(powerEvents(device).size(), 7u);
}

TEST_F(Idle, WithoutUseDimUserIdleLeavesTheBacklightAndZeroMeansNever)
{
    Device device;
    setTimeouts(device, 5, 0);
    launch(device, [] { Sleep(INFINITE); });
    device.runUntil(3'600'000);
    EXPECT_EQ(pmState(device), PowerState::UserIdle);
    EXPECT_EQ(powerEvents(device), Lines{"5000 pm.state UserIdle"});
    EXPECT_EQ(seen(device), (power::Backlight{true, 10}));
}

TEST_F(Idle, AShorterSuspendTimeOutSkipsUserIdle)
{
    Device device;
    setTimeouts(device, 10, 4);
    launch(device, [] { Sleep(INFINITE); });
    device.runUntil(20000);
    EXPECT_EQ(eventsOf(device, {"pm.state"}), Lines{"4000 pm.state Suspend"});
}

TEST_F(Idle, TheActivityEventRestartsTheCountAndThePowerManagerTakesEachSet)
{
    Device device;
    setTimeouts(device, 5, 0);
    setDword(device, Root::CurrentUser, kBacklightKey, L"UseDim", 1);
    launch(device, [] {
        // The power manager made both events at boot; a program finds, never makes, them.
        HANDLE made = CreateEventW(nullptr, TRUE, FALSE, power::kReloadEventName);
        hear("create " + std::to_string(GetLastError() == ERROR_ALREADY_EXISTS));
        CloseHandle(made);
        sleepUntil(4000);
        signal(power::kActivityEventName);
        Sleep(100);
        HANDLE activity = OpenEventW(EVENT_ALL_ACCESS, FALSE, power::kActivityEventName);
        hear("still set " + std::to_string(WaitForSingleObject(activity, 0) == WAIT_OBJECT_0));
        sleepUntil(9500);
        EventModify(activity, EVENT_SET);
    });
    device.runUntil(20000);
    EXPECT_EQ(takeHeard(), (Lines{"create 1", "still set 0"}));
    EXPECT_EQ(powerEvents(device),
              (Lines{"4000 event.signal \"PowerManager/ActivityTimer/SystemActivity\"", "9000 pm.state UserIdle",
                     "9000 backlight on=1 level=1", "9500 event.signal \"PowerManager/ActivityTimer/SystemActivity\"",
                     "9500 pm.state On", "9500 backlight on=1 level=10", "14500 pm.state UserIdle",
                     "14500 backlight on=1 level=1"}));
}

TEST_F(Idle, TimeOutsAreReadAgainOnlyWhenTheReloadEventIsSet)
{
    Device device;
    setTimeouts(device, 5, 0);
    launch(device, [] {
        sleepUntil(6000);
        signal(power::kActivityEventName);
        sleepUntil(7000);
        signal(power::kReloadEventName);
        sleepUntil(30000);
        signal(power::kActivityEventName);
        sleepUntil(33000);
        signal(power::kReloadEventName);
    });
    device.runUntil(1000);
    // Not yet read: idle at 5 s. Once reloaded at 7 s, counted from the last activity at 6 s.
    setDword(device, Root::LocalMachine, kTimeoutsKey, L"BattUserIdle", 20);
    device.runUntil(31000);
    // A time-out that has already passed when it is reloaded acts at once.
    setDword(device, Root::LocalMachine, kTimeoutsKey, L"BattUserIdle", 2);
    device.runUntil(40000);
    EXPECT_EQ(eventsOf(device, {"pm.state"}),
              (Lines{"5000 pm.state UserIdle", "6000 pm.state On", "26000 pm.state UserIdle", "30000 pm.state On",
                     "33000 pm.state UserIdle"}));
    std::lock_guard lock(device.kernel().mutex());
    EXPECT_EQ(device.powerManager().timeoutsLocked(), (power::IdleTimeouts{0, 0, 2, 0}));
}

TEST_F(Idle, LineChangesAndAnyReportInSuspendAreActivityButANewPercentageIsNot)
{
    Device device;
    setTimeouts(device, 5, 10, 3, 0);
    launch(device, [] { Sleep(INFINITE); });
    device.runUntil(4000);
    report(device, std::nullopt, 90);  // no activity: idle at 5 s all the same
    device.runUntil(12000);
    report(device, std::nullopt, 80);  // out of Suspend
    device.runUntil(13000);
    report(device, AC_LINE_ONLINE, std::nullopt);  // activity; the AC time-outs from now on
    device.runUntil(20000);
    EXPECT_EQ(eventsOf(device, {"pm.state"}), (Lines{"5000 pm.state UserIdle", "10000 pm.state Suspend",
                                                     "12000 pm.state On", "16000 pm.state UserIdle"}));
}

TEST_F(Idle, SetSystemPowerStateBringsItBackOnAndTakesStatesByName)
{
    Device device;
    setTimeouts(device, 5, 15);
    setDword(device, Root::CurrentUser, kBacklightKey, L"UseDim", 1);
    std::vector<DWORD> results;
    launch(device, [&] {
        sleepUntil(7000);
        results.push_back(SetSystemPowerState(nullptr, POWER_STATE_ON, POWER_FORCE));
        results.push_back(SetSystemPowerState(nullptr, POWER_STATE_RESET, 0));
        results.push_back(SetSystemPowerState(L"Hibernate", 0, 0));
        results.push_back(SetSystemPowerState(L"useridle", POWER_STATE_ON, 0));  // the name decides
    });
    device.runUntil(25000);
    EXPECT_EQ(pmState(device), PowerState::Suspend);  // 15 s after the last activity at 7 s
    // Another device thread wakes it; the programs are frozen.
    device.kernel().spawnSystemThread("switch", [] { SetSystemPowerState(L"On", 0, 0); });
    device.settle();
    EXPECT_EQ(results,
              (std::vector<DWORD>{ERROR_SUCCESS, ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER, ERROR_SUCCESS}));
    EXPECT_EQ(powerEvents(device),
              (Lines{"5000 pm.state UserIdle", "5000 backlight on=1 level=1", "7000 system.power on force",
                     "7000 pm.state On", "7000 backlight on=1 level=10", "7000 system.power useridle",
                     "7000 pm.state UserIdle", "7000 backlight on=1 level=1", "22000 pm.state Suspend",
                     "22000 backlight on=0 level=0", "25000 system.power on", "25000 pm.state On",
                     "25000 backlight on=1 level=10"}));
}

// A full-screen window that says what input reaches it.
int inputProgram()
{
    WNDCLASSW cls{};
    cls.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_LBUTTONDOWN || message == WM_KEYDOWN)
            hear((message == WM_KEYDOWN ? "key at " : "tap at ") + std::to_string(GetTickCount()));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    };
    cls.lpszClassName = L"Input";
    RegisterClassW(&cls);
    HWND hwnd = CreateWindowExW(0, L"Input", L"Input", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                                nullptr);
    SetForegroundWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
    return 0;
}

TEST_F(Idle, ATapOrAKeyIsActivityAndTheOneThatWakesTheDeviceGoesNoFurther)
{
    sim::HarnessOptions options;
    options.defaultRegistry = false;
    options.program = sim::Program{"input", inputProgram, {}, L"Input"};
    sim::Harness harness(options);
    setTimeouts(harness.device(), 5, 10);
    harness.launch();
    harness.runUntil(4000);
    harness.tap(10, 10);  // the count starts again
    harness.runUntil(16000);
    harness.tap(10, 10);  // wakes the device only
    harness.tap(10, 10);
    harness.runUntil(30000);
    harness.key(VK_ESCAPE);  // wakes it
    harness.key(VK_RETURN);
    harness.runUntil(31000);
    EXPECT_EQ(takeHeard(), (Lines{"tap at 4000", "tap at 16000", "key at 30000"}));
    EXPECT_EQ(eventsOf(harness.device(), {"pm.state"}),
              (Lines{"9000 pm.state UserIdle", "14000 pm.state Suspend", "16000 pm.state On", "21000 pm.state UserIdle",
                     "26000 pm.state Suspend", "30000 pm.state On"}));
}

TEST_F(Idle, TheSameSeedGivesTheSameRun)
{
    const auto run = [](std::uint64_t seed) {
        Device device(platform::DeviceOptions{.seed = seed});
        setTimeouts(device, 2, 4);
        setDword(device, Root::CurrentUser, kBacklightKey, L"UseDim", 1);
        for (const char* who : {"A", "B", "C"})
            launch(device, [who] { listen(who); });
        device.runUntil(1000);
        report(device, AC_LINE_ONLINE, 50);
        report(device, AC_LINE_OFFLINE, 40);
        device.runUntil(10000);
        return device.trace().lines();
    };
    EXPECT_EQ(run(5), run(5));
    takeHeard();
}

}  // namespace
}  // namespace velorin::test
