// Simulation testing: fresh seeds derived from the commit, the committed regression seeds, the
// same seed twice for the same trace, and canaries that plant a bug for the checks to find.
#include "tests/reliability/simulation.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>

namespace velorin::reliability {
namespace {

constexpr std::size_t kShards = 4;

std::size_t seedCount()
{
    return static_cast<std::size_t>(seedFromEnvironment("VELORIN_SIM_SEEDS").value_or(VELORIN_SIM_DEFAULT_SEEDS));
}

// The seeds of this run, printed once.
const std::vector<std::uint64_t>& runSeeds()
{
    static const std::vector<std::uint64_t> seeds = [] {
        if (const auto one = seedFromEnvironment("VELORIN_SEED")) {
            std::cout << "VELORIN_SEED=" << *one << ": replaying that seed alone" << std::endl;
            return std::vector<std::uint64_t>{*one};
        }
        const auto fresh = freshSeeds(commitSeedBase(), seedCount());
        std::cout << fresh.size() << " fresh seeds from commit " << commitName() << " (base " << commitSeedBase()
                  << "); VELORIN_SIM_SEEDS sets how many" << std::endl;
        return fresh;
    }();
    return seeds;
}

// Runs the seeds, each printed before it runs; a failing seed's report goes to the output.
void runAll(const std::vector<std::uint64_t>& seeds)
{
    std::vector<std::uint64_t> failing;
    for (const std::uint64_t seed : seeds) {
        std::cout << "seed " << seed << std::endl;
        const SimulationResult result = runSimulation(seed);
        if (!result.passed() || seedFromEnvironment("VELORIN_SIM_VERBOSE"))
            std::cout << result.report() << std::flush;
        if (!result.passed())
            failing.push_back(seed);
    }
    std::ostringstream list;
    for (const auto seed : failing)
        list << " " << seed;
    EXPECT_TRUE(failing.empty()) << failing.size() << " of " << seeds.size() << " seeds failed:" << list.str();
}

class FreshSeeds : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FreshSeeds, HoldEveryCheckAndEndInTheStateOfTheLastSource)
{
    const auto& all = runSeeds();
    std::vector<std::uint64_t> mine;
    for (std::size_t i = GetParam(); i < all.size(); i += kShards)
        mine.push_back(all[i]);
    runAll(mine);
}

INSTANTIATE_TEST_SUITE_P(Shard, FreshSeeds, ::testing::Range<std::size_t>(0, kShards));

TEST(Simulation, RegressionSeedsHoldEveryCheck)
{
    std::ifstream in(VELORIN_REGRESSION_SEEDS);
    ASSERT_TRUE(in) << "cannot read " << VELORIN_REGRESSION_SEEDS;
    std::vector<std::uint64_t> seeds;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::uint64_t seed = 0;
        if (words >> seed)
            seeds.push_back(seed);
    }
    std::cout << seeds.size() << " regression seeds" << std::endl;
    runAll(seeds);
}

TEST(Simulation, TheSameSeedGivesTheSameTrace)
{
    const auto seeds = freshSeeds(commitSeedBase() ^ 0x5EED, 20);
    for (const std::uint64_t seed : seeds) {
        std::cout << "seed " << seed << " twice" << std::endl;
        const auto first = runSimulation(seed);
        const auto second = runSimulation(seed);
        EXPECT_EQ(first.traceHash, second.traceHash) << "seed " << seed << " is not deterministic";
        EXPECT_EQ(first.log, second.log) << "seed " << seed;
    }
    // And the hash tells traces apart.
    EXPECT_NE(runSimulation(seeds[0]).traceHash, runSimulation(seeds[1]).traceHash);
}

// A canary: the bug planted on a seed must be reported, with `expected` in a failure.
void expectCaught(Sabotage sabotage, const std::string& expected)
{
    for (const std::uint64_t seed : {11ull, 12ull, 13ull}) {
        const SimulationResult result = runSimulation(seed, sabotage);
        ASSERT_FALSE(result.passed()) << "the planted bug went unnoticed on seed " << seed << "\n" << result.report();
        bool found = false;
        for (const auto& failure : result.failures)
            found = found || failure.find(expected) != std::string::npos;
        EXPECT_TRUE(found) << "no failure mentions \"" << expected << "\" on seed " << seed << "\n" << result.report();
    }
}

TEST(SimulationCanary, ALostDimSettingIsReported)
{
    expectCaught(Sabotage::LoseDimSetting, "UseDim");
}

TEST(SimulationCanary, AWrongRestoreAtCloseIsReported)
{
    expectCaught(Sabotage::CorruptSavedLevel, "after Close: AcBacklightLevel");
}

TEST(SimulationCanary, AGdiObjectLeftAfterAFrameIsReported)
{
    expectCaught(Sabotage::LeakGdiObject, "GDI objects after a frame");
}

TEST(SimulationCanary, ACallOnAClosedHandleIsReported)
{
    expectCaught(Sabotage::UseClosedHandle, "EventModify");
}

TEST(SimulationCanary, AThreadOutlivingTheUtilityIsReported)
{
    expectCaught(Sabotage::LeaveThreadRunning, "threads alive after the utility's end");
}

TEST(SimulationCanary, AStalledSequencerFailsTheLivenessCheck)
{
    expectCaught(Sabotage::StallSequencer, ": the window is ");
}

TEST(SimulationCanary, ADismissAfterTheChargerHasGoneHidesTheNextChargeAndFailsTheLivenessCheck)
{
    expectCaught(Sabotage::DismissOnBattery, "AC: the window is hidden");
}

}  // namespace
}  // namespace velorin::reliability
