// The monitor and the window racing on the power source, with threads running at once: a
// Dismiss stored by the window is never overwritten by a notification handled meanwhile.
#include "tests/services/power_monitor_rig.hpp"

namespace velorin::test {
namespace {

TEST(PowerMonitorRace, ADismissIsNeverLostToAStreamOfNotifications)
{
    HarnessOptions options;
    options.device.run = kernel::RunMode::Free;
    Harness harness(options);
    harness.power(1, 50);
    MonitorRig rig(harness);
    for (int round = 0; round < 200; ++round) {
        // The window dismisses while the monitor handles AC notifications.
        PostMessageW(rig.window(), WM_RIG_DISMISS, 0, 0);
        for (int n = 0; n < 3; ++n)
            harness.power(1, 50 + n);
        ASSERT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_DISMISSED) << "round " << round;
        // Unplugged and plugged again: the next round starts on AC.
        harness.power(0, 50);
        harness.power(1, 50);
        ASSERT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_AC) << "round " << round;
    }
}

}  // namespace
}  // namespace velorin::test
