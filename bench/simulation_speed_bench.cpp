// How fast the simulator runs the utility: one device hour of charging in virtual time (the
// charging run, the backlight ramp, a frame every 900 ms, keep-awake every 10 s), from boot.
#include "bench/utility_device.hpp"

#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <vector>

namespace {

using namespace velorin;

constexpr double kSecondsPerHour = 3600.0;

// The CPU time of the whole process: the work runs on the device's threads, not on the one that
// the benchmark library times, and on a loaded machine wall time also counts waiting for a core.
double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Argument 0: the serial mode; 1: with preemption, where every platform call is also a point
// where the CPU may pass to another device thread.
void BM_UtilityChargingHour(benchmark::State& state)
{
    const auto run = state.range(0) == 0 ? kernel::RunMode::Serial : kernel::RunMode::Preemptive;
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double start = processCpuSeconds();
        auto harness = bench::startCharging(run);
        harness->runFor(bench::kDeviceHour);
        if (!harness->programRunning())
            state.SkipWithError("the utility ended during the hour");
        harness.reset();
        cpuSeconds += processCpuSeconds() - start;
    }
    const double deviceSeconds = kSecondsPerHour * static_cast<double>(state.iterations());
    state.counters["device_s_per_host_s"] = benchmark::Counter(deviceSeconds, benchmark::Counter::kIsRate);
    state.counters["device_s_per_cpu_s"] = benchmark::Counter(cpuSeconds > 0 ? deviceSeconds / cpuSeconds : 0);
}
BENCHMARK(BM_UtilityChargingHour)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Processes that keep a core busy each until they are stopped: the load of two builds beside
// the simulator.
class BusyProcesses {
public:
    explicit BusyProcesses(int count)
    {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                volatile unsigned long spin = 0;
                for (;;)
                    spin = spin + 1;
            }
            if (pid > 0)
                m_pids.push_back(pid);
        }
    }
    ~BusyProcesses()
    {
        for (const pid_t pid : m_pids) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;
    bool started(int count) const { return static_cast<int>(m_pids.size()) == count; }

private:
    std::vector<pid_t> m_pids;
};

// Charging hours for at least `seconds` of wall time: device seconds per wall second.
double chargingSpeed(double seconds)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    double hours = 0;
    while (std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
        auto harness = bench::startCharging(kernel::RunMode::Serial);
        harness->runFor(bench::kDeviceHour);
        hours += 1;
    }
    return hours * kSecondsPerHour / std::chrono::duration<double>(Clock::now() - start).count();
}

// The serial simulator's speed on the machine as it is, then with two CPU-bound processes
// beside it, in one run: how much a busy host slows the device down.
void BM_UtilityChargingHourUnderLoad(benchmark::State& state)
{
    constexpr int kLoad = 2;
    constexpr double kMeasureSeconds = 3.0;
    for (auto _ : state) {
        const double quiet = chargingSpeed(kMeasureSeconds);
        double loaded = 0;
        {
            const BusyProcesses load(kLoad);
            if (!load.started(kLoad)) {
                state.SkipWithError("could not start the load");
                break;
            }
            loaded = chargingSpeed(kMeasureSeconds);
        }
        state.counters["quiet_device_s_per_host_s"] = quiet;
        state.counters["loaded_device_s_per_host_s"] = loaded;
        state.counters["slowdown"] = loaded > 0 ? quiet / loaded : 0;
    }
}
BENCHMARK(BM_UtilityChargingHourUnderLoad)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
