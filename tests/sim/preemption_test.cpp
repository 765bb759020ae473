// The preemptive mode: platform calls cost device time, and a notification can be handled
// between two steps of a sequence, which the serial mode never does; the same seed, the same trace.
#include "sim/harness/harness.hpp"
#include "sim/player/scenario_player.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace velorin::sim {
namespace {

std::vector<std::string> traceOf(kernel::RunMode mode, std::uint64_t seed, std::string_view text)
{
    HarnessOptions options;
    options.device.seed = seed;
    options.device.run = mode;
    options.device.trace = trace::TraceLevel::All;
    Harness harness(options);
    ScenarioPlayer(harness).play(parseScenario(text, "race.scn"));
    harness.powerOff();
    return harness.trace().lines();
}

bool has(const std::string& line, std::string_view part)
{
    return line.find(part) != std::string::npos;
}

// Whether the monitor read the second notification while the first one's steps were still
// being dispatched: after one step of the charging run and before its pause.
bool readBetweenSteps(const std::vector<std::string>& lines)
{
    const auto plugged = std::find_if(lines.begin(), lines.end(), [](const auto& l) { return has(l, "power.info ac=1"); });
    const auto unplugged = std::find_if(plugged, lines.end(), [](const auto& l) { return has(l, "power.info ac=0"); });
    const auto read = std::find_if(unplugged, lines.end(), [](const auto& l) { return has(l, "call ReadMsgQueue"); });
    const auto isStep = [](const std::string& l) { return has(l, "dispatch") && has(l, "WM_STEP_"); };
    const auto firstStep = std::find_if(plugged, lines.end(), isStep);
    const auto pause = std::find_if(plugged, lines.end(), [](const auto& l) { return has(l, "WM_STEP_PAUSE"); });
    return read != lines.end() && firstStep < read && read < pause;
}

constexpr std::string_view kPlugThenUnplug = "0 unplug\n1s plug\n+0ms unplug\n3s end\n";

TEST(Preemption, ANotificationCanBeHandledBetweenTwoStepsOnlyWhenCallsMayBePreempted)
{
    int between = 0;
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        EXPECT_FALSE(readBetweenSteps(traceOf(kernel::RunMode::Serial, seed, kPlugThenUnplug))) << "seed " << seed;
        between += readBetweenSteps(traceOf(kernel::RunMode::Preemptive, seed, kPlugThenUnplug)) ? 1 : 0;
    }
    EXPECT_GT(between, 0) << "no seed handled the unplug in the middle of the charging steps";
    EXPECT_LT(between, 12) << "every seed preempted at the same place";
}

TEST(Preemption, TheSameSeedGivesTheSameTraceAndAnotherSeedAnotherOrder)
{
    const auto first = traceOf(kernel::RunMode::Preemptive, 5, kPlugThenUnplug);
    EXPECT_EQ(first, traceOf(kernel::RunMode::Preemptive, 5, kPlugThenUnplug));
    bool differs = false;
    for (std::uint64_t seed = 6; seed < 12 && !differs; ++seed)
        differs = traceOf(kernel::RunMode::Preemptive, seed, kPlugThenUnplug) != first;
    EXPECT_TRUE(differs);
}

// The end of a run kills the utility's threads wherever they are: for some seeds in the middle
// of a frame, with the renderer's objects still selected. That ends the run, never the host.
TEST(Preemption, RunsThatEndInTheMiddleOfAFrameEndOnlyTheRun)
{
    constexpr std::string_view kEndsWhileDrawing = "0 power ac=0 percent=35\n1s plug\n5.9s percent 50\n";
    for (std::uint64_t seed = 1; seed <= 100; ++seed)
        EXPECT_FALSE(traceOf(kernel::RunMode::Preemptive, seed, kEndsWhileDrawing).empty()) << "seed " << seed;
}

// A program that makes 1,000 calls and says how much device time they took.
int busyProgram()
{
    const DWORD start = GetTickCount();
    for (int i = 0; i < 1000; ++i)
        GetCurrentThreadId();
    return static_cast<int>(GetTickCount() - start);
}

TEST(Preemption, EveryCallCostsTensOfMicrosecondsThatAddUpToWholeMilliseconds)
{
    for (const auto mode : {kernel::RunMode::Serial, kernel::RunMode::Preemptive}) {
        HarnessOptions options;
        options.device.run = mode;
        options.program = Program{"busy", busyProgram, {}, L""};
        Harness harness(options);
        harness.launch();
        harness.runFor(1000);
        const auto ended = harness.lastEnded();
        ASSERT_TRUE(ended);
        if (mode == kernel::RunMode::Serial) {
            EXPECT_EQ(ended->exitCode, 1000 / static_cast<int>(kernel::kCallsPerBusyMillisecond));
        } else {
            EXPECT_GE(ended->exitCode, 1000 * static_cast<int>(kernel::kCallCostMinMicros) / 1000);
            EXPECT_LE(ended->exitCode, 1000 * static_cast<int>(kernel::kCallCostMaxMicros) / 1000 + 1);
        }
    }
}

}  // namespace
}  // namespace velorin::sim
