// The scheduler: the seed picks among threads runnable at once, a seed replays exactly, and time
// moves for a thread that polls.
#include "kernel_test_support.hpp"

#include <array>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace velorin::test {
namespace {

struct RaceRun {
    std::string order;  // which thread ran, turn by turn
    std::vector<std::string> lines;
    std::uint64_t hash = 0;
};

// Four threads wake at the same moments, five times over, and each marks its turn: with its
// letter and with a call line that names its own event.
RaceRun playRace(std::uint64_t seed)
{
    DeviceOptions options;
    options.seed = seed;
    options.trace = trace::TraceLevel::All;
    RaceRun run;
    std::array<std::function<void()>, 4> workers;
    std::array<HANDLE, 4> done{};
    Device device(options);
    runProgram(device, [&] {
        HANDLE threads[4];
        for (int i = 0; i < 4; ++i) {
            done[i] = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            workers[i] = [&, i] {
                for (int round = 0; round < 5; ++round) {
                    Sleep(10);
                    run.order += static_cast<char>('A' + i);
                    SetEvent(done[i]);
                }
            };
            threads[i] = startThread(workers[i]);
        }
        for (HANDLE thread : threads)
            WaitForSingleObject(thread, INFINITE);
    });
    run.lines = device.trace().lines();
    run.hash = device.trace().hash();
    return run;
}

TEST(Scheduler, SameSeedReplaysByteForByte)
{
    const RaceRun first = playRace(7);
    const RaceRun second = playRace(7);
    EXPECT_EQ(first.order.size(), 20u);
    EXPECT_EQ(first.order, second.order);
    EXPECT_EQ(first.lines, second.lines);
    EXPECT_EQ(first.hash, second.hash);
}

TEST(Scheduler, OtherSeedsGiveOtherInterleavings)
{
    std::set<std::string> orders;
    std::set<std::uint64_t> hashes;
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        const RaceRun run = playRace(seed);
        // Whatever the order within a moment, each moment runs every thread once.
        for (std::size_t moment = 0; moment < run.order.size(); moment += 4) {
            const std::string turn = run.order.substr(moment, 4);
            EXPECT_EQ(std::set<char>(turn.begin(), turn.end()).size(), 4u) << run.order;
        }
        orders.insert(run.order);
        hashes.insert(run.hash);
    }
    EXPECT_EQ(orders.size(), 3u);
    EXPECT_EQ(hashes.size(), 3u);
}

// In wall time a host that falls behind makes the device late, never different: a program that
// the host gets to late still starts at the device's moment and its pause keeps its length, so
// the moments (and the order of what falls due at each) are those of virtual time. The wall
// clock still paces the run: it cannot end before the host's clock has got there.
TEST(Scheduler, InWallTimeALateHostKeepsTheDevicesMoments)
{
    DeviceOptions options;
    options.clock = kernel::ClockMode::Wall;
    const auto booted = std::chrono::steady_clock::now();
    Device device(options);
    // The host is slow to get to the program (a window opening, a loaded machine).
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    DWORD started = 1;
    DWORD slept = 0;
    runProgram(device, [&] {
        started = GetTickCount();
        Sleep(100);
        slept = GetTickCount() - started;
    });
    EXPECT_EQ(started, 0u);
    EXPECT_EQ(slept, 100u);
    EXPECT_GE(std::chrono::steady_clock::now() - booted, std::chrono::milliseconds(100));
}

class PollingModes : public testing::TestWithParam<RunModeCase> {};

// A program that never blocks must still see time pass, and its timer come.
TEST_P(PollingModes, TimeMovesForAThreadThatOnlyPolls)
{
    Device device(GetParam().options());
    DWORD tickMovedBy = 0, timerCameAfter = 0;
    runProgram(device, [&] {
        const DWORD start = GetTickCount();
        while (GetTickCount() == start) {
        }
        tickMovedBy = GetTickCount() - start;
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, nullptr);
        const DWORD set = GetTickCount();
        MSG msg;
        while (!PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE)) {
        }
        timerCameAfter = GetTickCount() - set;
        KillTimer(nullptr, timer);
    });
    EXPECT_EQ(tickMovedBy, 1u);
    EXPECT_GE(timerCameAfter, 100u);
    EXPECT_LE(timerCameAfter, 101u);
}

INSTANTIATE_TEST_SUITE_P(RunModes, PollingModes, kEveryRunMode, runModeName);

}  // namespace
}  // namespace velorin::test
