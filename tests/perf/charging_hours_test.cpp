// Hours of charging, counted exactly: the wake-ups of an hour, and a heap that holds no more
// after the third hour than after the first (each whole hour leaves the device in the same
// state, so any growth is a leak).
#include "bench/allocation_counter.hpp"
#include "screen/charge_screen_messages.h"
#include "tests/perf/perf_test_support.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace velorin::test {
namespace {

constexpr int kPercent = 50;

class Charging : public ::testing::Test {
protected:
    explicit Charging(trace::TraceLevel level = trace::TraceLevel::Effects) : m_sink(&m_dispatches)
    {
        sim::HarnessOptions options;
        options.device.trace = level;
        options.traceSink = &m_sink;
        m_harness.emplace(options);
        // Kept, the trace would grow by design; a run of hours passes it on only.
        m_harness->trace().setKeepLines(false);
        m_harness->power(0, kPercent);
        m_utility = m_harness->launch();
        m_harness->settle();
        m_harness->power(1, kPercent);
    }

    DispatchCounter m_dispatches;
    std::ostream m_sink;
    std::optional<sim::Harness> m_harness;
    ProcessId m_utility = 0;
};

class ChargingTraced : public Charging {
protected:
    ChargingTraced() : Charging(trace::TraceLevel::All) {}
};

TEST_F(ChargingTraced, AnHourWakesTheWindowForItsTimersAndThePowerManagerForKeepAwakeOnly)
{
    m_harness->runFor(kDeviceHour);  // the charging run and the ramp are over
    const auto window = m_harness->mainWindow();
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_harness->windowVisible(*window));
    m_dispatches.reset();
    const Wakeups before = wakeups(*m_harness, m_utility);
    m_harness->runFor(kDeviceHour);

    EXPECT_EQ(m_dispatches.timerTicks[TIMER_ANIMATION], kDeviceHour / kAnimationPeriodMs);
    EXPECT_EQ(m_dispatches.timerTicks[TIMER_KEEP_AWAKE], kDeviceHour / kKeepAwakePeriodMs);
    EXPECT_EQ(m_dispatches.timerTicks[TIMER_BACKLIGHT_RAMP], kDeviceHour / kBacklightRampPeriodMs);
    // Each keep-awake tick posts one request to the window, and nothing else is dispatched.
    EXPECT_EQ(m_dispatches.otherMessages, kDeviceHour / kKeepAwakePeriodMs);
    const Wakeups woke = wakeups(*m_harness, m_utility) - before;
    EXPECT_EQ(woke.window, static_cast<std::uint64_t>(kDeviceHour / kBacklightRampPeriodMs));
    EXPECT_EQ(woke.monitor, 0u) << "no notification, no wake-up";
    EXPECT_EQ(woke.powerManager, static_cast<std::uint64_t>(kDeviceHour / kKeepAwakePeriodMs));
}

TEST_F(Charging, ThreeHoursLeaveTheLiveHeapAsTheFirstDid)
{
    m_harness->runFor(kDeviceHour);
    const bench::HeapCounts first = bench::heapCounts();
    m_harness->runFor(2 * kDeviceHour);
    const bench::HeapCounts third = bench::heapCounts();

    EXPECT_GT(third.madeBlocks - first.madeBlocks, 0) << "the counting allocator is the one in use";
    EXPECT_EQ(third.liveBlocks, first.liveBlocks);
    EXPECT_EQ(third.liveBytes, first.liveBytes);
    EXPECT_TRUE(m_harness->programRunning());
}

}  // namespace
}  // namespace velorin::test
