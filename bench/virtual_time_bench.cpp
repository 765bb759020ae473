// How fast virtual time runs: a program thread that sleeps 100 ms in a loop for one device
// hour (36,000 wake-ups), against the host time that takes.
#include "boot/device.hpp"

#include <windows.h>

#include <benchmark/benchmark.h>

namespace {

using namespace velorin;

constexpr DWORD kDeviceHourMs = 3'600'000;
constexpr DWORD kSleepMs = 100;
constexpr double kTargetRatio = 20'000.0;

int sleepForAnHour()
{
    for (DWORD slept = 0; slept < kDeviceHourMs; slept += kSleepMs)
        Sleep(kSleepMs);
    return 0;
}

void BM_VirtualHourOfSleeps(benchmark::State& state)
{
    for (auto _ : state) {
        platform::Device device;
        const auto pid = device.launch("sleeper", sleepForAnHour);
        device.runUntil(kDeviceHourMs);
        if (device.running(pid))
            state.SkipWithError("the sleeper did not finish within the device hour");
    }
    state.counters["wakeups"] = benchmark::Counter(kDeviceHourMs / kSleepMs);
    // Device seconds per host second: the rate of one device hour per iteration.
    state.counters["device_s_per_host_s"] =
        benchmark::Counter(3600.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VirtualHourOfSleeps)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("target: at least %.0f device seconds per host second (device_s_per_host_s above)\n", kTargetRatio);
    return 0;
}
