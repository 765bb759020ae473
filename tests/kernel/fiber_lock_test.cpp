// The serial modes under ThreadSanitizer: device threads are fibers on one host thread, and the
// kernel's lock goes from one to the next at every hand-over while another host thread (as the
// live window's does) takes it too. A lock passed on held would be unlocked by a fiber that did
// not lock it, which ThreadSanitizer reports.
#include "kernel_test_support.hpp"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace velorin::test {
namespace {

class FiberLock : public ::testing::TestWithParam<kernel::RunMode> {};

TEST_P(FiberLock, ThreadsHandOverWhileAHostThreadTakesTheLock)
{
    constexpr int kRounds = 500;
    Device device({.run = GetParam()});

    std::atomic<bool> stop{false};
    std::atomic<long> looks{0};
    std::atomic<std::uint64_t> lastSeen{0};
    std::thread host([&] {
        while (!stop.load()) {
            std::lock_guard lock(device.kernel().mutex());
            lastSeen = static_cast<std::uint64_t>(device.scheduler().nowLocked());
            ++looks;
        }
    });

    // The host thread is under way before the device threads start.
    while (looks.load() == 0)
        std::this_thread::yield();

    // Two threads in turn through a pair of auto-reset events: every round is two hand-overs.
    HANDLE ping = nullptr, pong = nullptr;
    int rounds = 0;  // plain on purpose: only the hand-overs order the accesses
    auto other = [&] {
        for (int i = 0; i < kRounds; ++i) {
            if (WaitForSingleObject(ping, INFINITE) != WAIT_OBJECT_0)
                return DWORD{1};
            ++rounds;
            SetEvent(pong);
        }
        return DWORD{0};
    };
    DWORD otherFailed = 1;
    runProgram(device, [&] {
        ping = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        pong = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        HANDLE thread = startThread(other);
        for (int i = 0; i < kRounds; ++i) {
            SetEvent(ping);
            ASSERT_EQ(WaitForSingleObject(pong, INFINITE), WAIT_OBJECT_0);
        }
        ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        GetExitCodeThread(thread, &otherFailed);
    });
    stop = true;
    host.join();
    EXPECT_EQ(otherFailed, 0u);
    EXPECT_EQ(rounds, kRounds);
}

INSTANTIATE_TEST_SUITE_P(SerialModes, FiberLock,
                         ::testing::Values(kernel::RunMode::Serial, kernel::RunMode::Preemptive),
                         [](const auto& info) {
                             return info.param == kernel::RunMode::Serial ? std::string("Serial")
                                                                          : std::string("Preemptive");
                         });

}  // namespace
}  // namespace velorin::test
