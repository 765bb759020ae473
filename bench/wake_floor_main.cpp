// velorin-wake-floor: what ten timed waits a second cost on this host with nothing else to do,
// the floor under velorin-sim's idle cost (tools/measure_idle.sh runs it beside velorin-sim).
//
//   velorin-wake-floor SECONDS
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>

int main(int argc, char** argv)
{
    constexpr std::chrono::milliseconds kPeriod{100};
    const int seconds = argc == 2 ? std::atoi(argv[1]) : 0;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: velorin-wake-floor SECONDS\n");
        return 2;
    }
    std::mutex mutex;
    std::condition_variable never;
    std::unique_lock lock(mutex);
    const int wakes = seconds * 10;
    auto due = std::chrono::steady_clock::now();
    for (int i = 0; i < wakes; ++i) {
        due += kPeriod;
        while (never.wait_until(lock, due) != std::cv_status::timeout) {
        }
    }
    // Nanoseconds on a CPU, as the host's scheduler counts them.
    std::ifstream schedstat("/proc/self/schedstat");
    long long runNs = -1;
    schedstat >> runNs;
    if (runNs < 0)
        return 1;
    std::printf("bare timed waits, the floor: %d wake-ups, %.1f ms CPU = %.4f %% of one core, %.1f us a wake-up\n",
                wakes, static_cast<double>(runNs) / 1e6, static_cast<double>(runNs) / 1e7 / seconds,
                static_cast<double>(runNs) / 1e3 / wakes);
    return 0;
}
