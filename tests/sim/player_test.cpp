// The scenario player on a real device: launches, expectations, unsupported commands, and
// the determinism of whole runs.
#include "sim/cli/builtin_demo.hpp"
#include "sim/harness/harness.hpp"
#include "sim/player/scenario_player.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>

namespace velorin::sim {
namespace {

// A program that runs for 2.5 s and exits with 15.
Program sleeper()
{
    return Program{"sample",
                   [] {
                       Sleep(2500);
                       return 15;
                   },
                   {},
                   L""};
}

HarnessOptions sleeperOptions()
{
    HarnessOptions options;
    options.program = sleeper();
    return options;
}

Scenario scenario(std::string_view text)
{
    return parseScenario(text, "test.scn");
}

// Three threads wake at the same moments, so the scheduler must choose among them.
int racingThreads()
{
    static constexpr LPTHREAD_START_ROUTINE worker = [](LPVOID param) -> DWORD {
        for (int i = 0; i < 4; ++i) {
            Sleep(10);
            SetLastError(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(param)));
            GetCurrentThreadId();
        }
        return 0;
    };
    HANDLE threads[3];
    for (std::uintptr_t i = 0; i < 3; ++i)
        threads[i] = CreateThread(nullptr, 0, worker, reinterpret_cast<LPVOID>(i), 0, nullptr);
    for (HANDLE thread : threads)
        WaitForSingleObject(thread, INFINITE);
    return 0;
}

std::vector<std::string> traceOf(std::uint64_t seed, Program program, std::string_view text)
{
    HarnessOptions options;
    options.device.seed = seed;
    options.device.trace = trace::TraceLevel::All;
    options.program = std::move(program);
    Harness harness(options);
    ScenarioPlayer(harness).play(scenario(text));
    harness.powerOff();
    return harness.trace().lines();
}

TEST(ScenarioPlayer, LaunchesAtZeroAndChecksTheProgramsLife)
{
    Harness harness(sleeperOptions());
    const PlayResult result = ScenarioPlayer(harness).play(scenario(R"(
        1s   expect running
        3s   expect exited
        +1s  launch
        +1s  expect running
    )"));
    EXPECT_TRUE(result.failures.empty()) << result.failures.front();
    EXPECT_EQ(result.expectsChecked, 3);
    EXPECT_EQ(harness.instances().size(), 2u);
    EXPECT_EQ(result.endedAt, 5000);
    EXPECT_EQ(harness.trace().linesOf("launch"), (std::vector<std::string>{"0 launch pid=1", "4000 launch pid=2"}));
    EXPECT_EQ(harness.trace().linesOf("exit").front(), "2500 exit pid=1 code=15");
}

TEST(ScenarioPlayer, ReportsEachFailedExpectationWithItsLine)
{
    Harness harness(sleeperOptions());
    std::ostringstream report;
    const PlayResult result =
        ScenarioPlayer(harness).play(scenario("0 expect exited\n5s expect running\n"), std::nullopt, &report);
    ASSERT_EQ(result.failures.size(), 2u);
    EXPECT_EQ(result.failures[0], "test.scn:1: expect exited failed: sample is still running");
    EXPECT_EQ(result.failures[1], "test.scn:2: expect running failed: sample has exited (pid 1, code 15)");
    EXPECT_EQ(report.str(), result.failures[0] + "\n" + result.failures[1] + "\n");
}

TEST(ScenarioPlayer, EndAndUntilBoundTheRun)
{
    Harness ended(sleeperOptions());
    EXPECT_EQ(ScenarioPlayer(ended).play(scenario("1s end\n")).endedAt, 1000);

    // `until` cuts the lines after it and otherwise stretches the run to it.
    Harness cut(sleeperOptions());
    const PlayResult cutShort = ScenarioPlayer(cut).play(scenario("1s expect running\n9s expect running\n"), 2000);
    EXPECT_EQ(cutShort.expectsChecked, 1);
    EXPECT_TRUE(cutShort.failures.empty());
    EXPECT_EQ(cutShort.endedAt, 2000);
    Harness stretched(sleeperOptions());
    EXPECT_EQ(ScenarioPlayer(stretched).play(scenario("1s expect running\n"), 60'000).endedAt, 60'000);
}

TEST(ScenarioPlayer, SameScenarioAndSeedGiveTheSameTraceByteForByte)
{
    const auto first = traceOf(7, defaultProgram(), builtinDemoScenario());
    const auto second = traceOf(7, defaultProgram(), builtinDemoScenario());
    EXPECT_GT(first.size(), 40u);
    EXPECT_EQ(first, second);
}

TEST(ScenarioPlayer, SeedsChooseDifferentInterleavingsOfRunnableThreads)
{
    const Program racing{"racing", racingThreads};
    const auto reference = traceOf(1, racing, "1s end\n");
    EXPECT_EQ(reference, traceOf(1, racing, "1s end\n"));
    bool differs = false;
    for (std::uint64_t seed = 2; seed < 10 && !differs; ++seed)
        differs = traceOf(seed, racing, "1s end\n") != reference;
    EXPECT_TRUE(differs) << "every seed ran the threads in the same order";
}

}  // namespace
}  // namespace velorin::sim
