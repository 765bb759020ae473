// velorin-soak: the utility charging for many device hours in virtual time, with what the
// process holds after each hour. A leak shows as growth from the first hour to the last: the
// state at each whole hour is the same (the frames' 900 ms and the keep-awake's 10 s divide an
// hour), so the live blocks must be too.
//
//   velorin-soak [--hours N] [--battery]
//
// N device hours (default 24) of charging, or with --battery hidden on battery on a device that
// never suspends; exit status 1 when the heap grew. Under callgrind, the first hour (charging:
// with the plug) is dumped apart from boot and power-off (tools/callgrind_hour.sh), so that its
// instruction count is that of one device hour.
#include "bench/allocation_counter.hpp"
#include "bench/utility_device.hpp"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define VELORIN_HAVE_CALLGRIND 1
#endif

namespace {

using namespace velorin;

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

void zeroCallgrindCounts()
{
#ifdef VELORIN_HAVE_CALLGRIND
    CALLGRIND_ZERO_STATS;
#endif
}

void dumpCallgrindCounts()
{
#ifdef VELORIN_HAVE_CALLGRIND
    CALLGRIND_DUMP_STATS_AT("the first device hour");
#endif
}

// Every device thread's wake-ups so far, and those of threads other than the controller.
std::uint64_t deviceWakeups(sim::Harness& harness)
{
    std::lock_guard lock(harness.device().kernel().mutex());
    std::uint64_t sum = 0;
    for (const auto& thread : harness.device().scheduler().activityLocked()) {
        if (!thread.controller)
            sum += thread.wakeups;
    }
    return sum;
}

int usage()
{
    std::fprintf(stderr, "usage: velorin-soak [--hours N] [--battery]   (N from 1 to 10000 device hours, "
                         "default 24)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    int hours = 24;
    bool battery = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--hours" && i + 1 < argc) {
            try {
                hours = std::stoi(argv[++i]);
            } catch (const std::exception&) {
                return usage();
            }
        } else if (arg == "--battery") {
            battery = true;
        } else {
            return usage();
        }
    }
    if (hours < 1 || hours > 10'000)
        return usage();

    // Past the start on battery, where the window hides, before anything is counted.
    constexpr kernel::DeviceTime kStartUp = 1000;
    auto harness = bench::bootUtility(kernel::ClockMode::Virtual, nullptr,
                                      battery ? bench::Suspend::Never : bench::Suspend::AsTheHiveSays);
    if (battery)
        harness->runFor(kStartUp);
    zeroCallgrindCounts();
    if (!battery)
        harness->power(1, bench::kBatteryPercent);
    std::printf("%s, %d device hours\n", battery ? "hidden on battery" : "charging", hours);

    std::printf("%5s %12s %12s %12s %9s %12s %9s %9s\n", "hour", "live_blocks", "live_bytes", "malloc_bytes", "rss_kb",
                "blocks_made", "wakeups", "host_ms");
    bench::HeapCounts first;
    bench::HeapCounts last;
    long firstRss = 0;
    long lastRss = 0;
    for (int hour = 1; hour <= hours; ++hour) {
        const bench::HeapCounts before = bench::heapCounts();
        const std::uint64_t wakeupsBefore = deviceWakeups(*harness);
        const auto start = std::chrono::steady_clock::now();
        harness->runFor(bench::kDeviceHour);
        const double hostMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (hour == 1)
            dumpCallgrindCounts();
        last = bench::heapCounts();
        lastRss = residentKilobytes();
        if (hour == 1) {
            first = last;
            firstRss = lastRss;
        }
        std::printf("%5d %12lld %12lld %12lld %9ld %12lld %9llu %9.1f\n", hour, static_cast<long long>(last.liveBlocks),
                    static_cast<long long>(last.liveBytes), static_cast<long long>(last.mallocBytes), lastRss,
                    static_cast<long long>(last.madeBlocks - before.madeBlocks),
                    static_cast<unsigned long long>(deviceWakeups(*harness) - wakeupsBefore), hostMs);
        std::fflush(stdout);
        if (!harness->programRunning()) {
            std::printf("the utility ended in hour %d\n", hour);
            return 1;
        }
    }
    const long long blockGrowth = last.liveBlocks - first.liveBlocks;
    const long long byteGrowth = last.liveBytes - first.liveBytes;
    std::printf("growth from hour 1 to hour %d: %+lld blocks, %+lld bytes (operator new); %+lld bytes (malloc); "
                "%+ld kB resident\n",
                hours, blockGrowth, byteGrowth, static_cast<long long>(last.mallocBytes - first.mallocBytes),
                lastRss - firstRss);
    const bool grew = blockGrowth > 0 || byteGrowth > 0;
    std::printf("%s: target no growth of the live heap\n", grew ? "MISSED" : "met");
    return grew ? 1 : 0;
}
