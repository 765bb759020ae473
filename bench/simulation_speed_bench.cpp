// How fast the simulator runs the utility: one device hour of charging in virtual time (the
// charging run, the backlight ramp, a frame every 900 ms, keep-awake every 10 s), from boot.
#include "bench/utility_device.hpp"

#include <benchmark/benchmark.h>

#include <ctime>

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

}  // namespace
