// The battery driver and the power manager in the free mode, where device threads run at the
// same time on the host (ThreadSanitizer runs this). The assertions count; they never depend on
// an order that the host chooses.
#include "power_test_support.hpp"

#include <atomic>

namespace velorin::test {
namespace {

TEST(PowerFreeMode, ReportsReachEveryListenerWhileProgramsSignalActivityAndDriveTheBacklight)
{
    constexpr int kListeners = 3;
    constexpr int kReports = 50;
    Device device({.run = kernel::RunMode::Free});
    setDword(device, registry::Root::LocalMachine, kTimeoutsKey, L"BattUserIdle", 5);
    setDword(device, registry::Root::LocalMachine, kTimeoutsKey, L"BattSuspend", 10);
    static std::atomic<int> s_received;
    s_received = 0;
    for (int i = 0; i < kListeners; ++i) {
        launch(device, [] {
            HANDLE queue = makeQueue();
            RequestPowerNotifications(queue, PBT_POWERINFOCHANGE);
            for (;;) {
                WaitForSingleObject(queue, INFINITE);
                while (readMessage(queue))
                    ++s_received;
            }
        });
    }
    // Busy for 3 s: activity every 100 ms and a backlight request with each.
    launch(device, [] {
        HANDLE activity = OpenEventW(EVENT_ALL_ACCESS, FALSE, power::kActivityEventName);
        for (int i = 0; i < 30; ++i) {
            EventModify(activity, EVENT_SET);
            DevicePowerNotify(const_cast<wchar_t*>(L"BKL1:"), i % 2 ? D0 : D1, POWER_NAME);
            SYSTEM_POWER_STATUS_EX2 status;
            GetSystemPowerStatusEx2(&status, sizeof status, TRUE);
            Sleep(100);
        }
    });
    device.runFor(10);  // every listener has subscribed before time moves on
    for (int i = 0; i < kReports; ++i) {
        {
            std::lock_guard lock(device.kernel().mutex());
            device.battery().reportLocked(std::nullopt, static_cast<BYTE>(i));
        }
        device.runFor(10);
    }
    device.runUntil(60'000);
    EXPECT_EQ(s_received.load(), kListeners * (1 + kReports));
    EXPECT_EQ(pmState(device), power::PowerState::Suspend);
    // Idle 5 and 10 s after the last activity, which came a little before 3 s.
    const Lines states = eventsOf(device, {"pm.state"});
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[1].substr(states[1].find(' ')), " pm.state Suspend");
}

}  // namespace
}  // namespace velorin::test
