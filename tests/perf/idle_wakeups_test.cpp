// What the utility costs while it waits, counted exactly over device hours: hidden on battery,
// its window's thread wakes once for each moment that one of its timers falls due, and its power
// monitor only for a notification; nothing polls. Once the device suspends, nothing wakes.
#include "screen/charge_screen_messages.h"
#include "tests/perf/perf_test_support.hpp"

#include <gtest/gtest.h>

#include <mutex>

namespace velorin::test {
namespace {

using registry::Root;

constexpr wchar_t kTimeoutsKey[] = L"System\\CurrentControlSet\\Control\\Power\\Timeouts";
constexpr kernel::DeviceTime kStartUp = 1000;  // past the one-shot hide
constexpr int kReports = 10;

class IdleCost : public ::testing::Test {
protected:
    IdleCost() : m_sink(&m_dispatches), m_harness(options()) { m_harness.trace().setKeepLines(false); }

    sim::HarnessOptions options()
    {
        sim::HarnessOptions options;
        options.device.trace = trace::TraceLevel::All;
        options.traceSink = &m_sink;
        return options;
    }

    // Starts the utility on battery; it hides its window.
    void startOnBattery()
    {
        m_harness.power(0, 35);
        m_utility = m_harness.launch();
        m_harness.runFor(kStartUp);
        const auto window = m_harness.mainWindow();
        ASSERT_TRUE(window);
        ASSERT_FALSE(m_harness.windowVisible(*window));
        m_dispatches.reset();
        m_before = wakeups(m_harness, m_utility);
        ASSERT_EQ(m_before.utilityThreads, 2);
    }

    Wakeups wakeupsSinceStart() { return wakeups(m_harness, m_utility) - m_before; }

    DispatchCounter m_dispatches;
    std::ostream m_sink;
    sim::Harness m_harness;
    ProcessId m_utility = 0;
    Wakeups m_before;
};

TEST_F(IdleCost, HiddenOnBatteryAnHourWakesTheWindowOnlyForItsTimersAndTheMonitorOnlyForNews)
{
    // Never suspending, so that every timer runs the whole hour.
    m_harness.setRegistryValue(Root::LocalMachine, kTimeoutsKey, registry::dwordValue(L"BattSuspend", 0));
    startOnBattery();
    for (int report = 1; report <= kReports; ++report) {
        m_harness.runFor(kDeviceHour / kReports);
        m_harness.power(std::nullopt, 35 + report);
    }

    // Timers 1, 2 and 3 from the same moment: 4,000 + 360 + 36,000 ticks, 11.2 a second. The
    // slower two fall on the ramp's moments, so the window's thread wakes 36,000 times.
    EXPECT_EQ(m_dispatches.timerTicks[TIMER_ANIMATION], kDeviceHour / kAnimationPeriodMs);
    EXPECT_EQ(m_dispatches.timerTicks[TIMER_KEEP_AWAKE], kDeviceHour / kKeepAwakePeriodMs);
    EXPECT_EQ(m_dispatches.timerTicks[TIMER_BACKLIGHT_RAMP], kDeviceHour / kBacklightRampPeriodMs);
    EXPECT_EQ(m_dispatches.timerTicks.count(TIMER_INITIAL_HIDE), 0u) << "a one-shot ticks once, at the start";
    EXPECT_EQ(m_dispatches.timerTicks.size(), 3u);
    EXPECT_EQ(m_dispatches.otherMessages, 0) << "hidden, nothing is painted or kept awake";
    const Wakeups woke = wakeupsSinceStart();
    EXPECT_EQ(woke.window, static_cast<std::uint64_t>(kDeviceHour / kBacklightRampPeriodMs));
    EXPECT_EQ(woke.monitor, static_cast<std::uint64_t>(kReports)) << "one wake-up a notification";
    EXPECT_EQ(woke.powerManager, 1u) << "only to dim after the battery's idle minute";
}

TEST_F(IdleCost, OnceTheDeviceSuspendsOnBatteryNothingOfTheUtilityWakes)
{
    // The default hive suspends five idle minutes after the start.
    startOnBattery();
    m_harness.runFor(5 * 60 * 1000);
    {
        std::lock_guard lock(m_harness.device().kernel().mutex());
        ASSERT_EQ(m_harness.device().powerManager().stateLocked(), power::PowerState::Suspend);
    }
    m_dispatches.reset();
    const Wakeups before = wakeups(m_harness, m_utility);
    m_harness.runFor(kDeviceHour);

    EXPECT_TRUE(m_dispatches.timerTicks.empty());
    EXPECT_EQ(m_dispatches.otherMessages, 0);
    const Wakeups woke = wakeups(m_harness, m_utility) - before;
    EXPECT_EQ(woke.window, 0u);
    EXPECT_EQ(woke.monitor, 0u);
    EXPECT_EQ(woke.powerManager, 0u);
    EXPECT_TRUE(m_harness.programRunning());
}

}  // namespace
}  // namespace velorin::test
