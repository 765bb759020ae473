// How soon the charging screen appears in wall time: from the charger's notification to the
// window shown, less the one-second pause that the charging run makes on purpose. Beside it, how
// late the host wakes a bare timed wait in the same run: on a loaded machine that, not the
// simulator, is most of the figure.
#include "bench/utility_device.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

using namespace velorin;
using Clock = std::chrono::steady_clock;

constexpr double kPauseMs = 1000.0;
constexpr double kTargetMs = 5.0;
constexpr kernel::DeviceTime kSettleMs = 1500;  // the pause, the steps and the ramp's start
constexpr int kPlugs = 8;
constexpr int kHostWakesPerPlug = 4;
constexpr std::chrono::milliseconds kHostWait{50};

// Notes the host time at which the trace says that a window was shown.
class ShowWatch : public std::streambuf {
public:
    void arm() { m_shownAt.reset(); }
    std::optional<Clock::time_point> shownAt() const { return m_shownAt; }

protected:
    int_type overflow(int_type c) override
    {
        if (c == '\n') {
            if (!m_shownAt && m_line.find(" window.show") != std::string::npos)
                m_shownAt = Clock::now();
            m_line.clear();
        } else if (c != traits_type::eof()) {
            m_line += static_cast<char>(c);
        }
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        for (std::streamsize i = 0; i < n; ++i)
            overflow(traits_type::to_int_type(s[i]));
        return n;
    }

private:
    std::string m_line;
    std::optional<Clock::time_point> m_shownAt;
};

// How late the host itself wakes a thread from a timed wait, as the scheduler's wall clock does:
// the floor under any reaction on this machine at this moment.
double hostWakeLateMs(std::chrono::milliseconds after)
{
    std::mutex mutex;
    std::condition_variable never;
    std::unique_lock lock(mutex);
    const Clock::time_point due = Clock::now() + after;
    while (never.wait_until(lock, due) != std::cv_status::timeout) {
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - due).count();
}

void addSpread(benchmark::State& state, const std::string& name, std::vector<double> values)
{
    if (values.empty())
        return;
    std::sort(values.begin(), values.end());
    state.counters[name + "_min"] = values.front();
    state.counters[name + "_median"] = values[values.size() / 2];
    state.counters[name + "_max"] = values.back();
}

void BM_PlugToWindowShownWallClock(benchmark::State& state)
{
    ShowWatch watch;
    std::ostream sink(&watch);
    auto harness = bench::bootUtility(kernel::ClockMode::Wall, &sink);
    harness->runFor(kSettleMs);  // hidden on battery
    std::vector<double> lateMs;
    std::vector<double> hostLateMs;
    for (auto _ : state) {
        watch.arm();
        const Clock::time_point plugged = Clock::now();
        harness->power(1, bench::kBatteryPercent);
        harness->runFor(kSettleMs);
        const auto shown = watch.shownAt();
        if (!shown) {
            state.SkipWithError("the window was not shown after the charger was connected");
            break;
        }
        lateMs.push_back(std::chrono::duration<double, std::milli>(*shown - plugged).count() - kPauseMs);
        harness->power(0, bench::kBatteryPercent);
        harness->runFor(kSettleMs);
        for (int i = 0; i < kHostWakesPerPlug; ++i)
            hostLateMs.push_back(hostWakeLateMs(kHostWait));
        // Those waits let the host's clock run ahead of the device's, which wall time makes up
        // by waiting less: back on the device's own schedule before the next plug.
        harness->runFor(kSettleMs);
    }
    addSpread(state, "late_ms", lateMs);
    addSpread(state, "host_wake_late_ms", hostLateMs);
    state.counters["target_ms"] = kTargetMs;
}
BENCHMARK(BM_PlugToWindowShownWallClock)->Iterations(kPlugs)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
