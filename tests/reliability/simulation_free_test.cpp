// Random scenarios with the device's threads running truly at once, for ThreadSanitizer: the
// utility's shared state under every interleaving the host gives, with the simulation's checks.
#include "tests/reliability/simulation.hpp"

#include <gtest/gtest.h>

#include <iostream>

namespace velorin::reliability {
namespace {

constexpr std::size_t kSeeds = 24;

TEST(SimulationFree, RandomScenariosHoldEveryCheckWithTheThreadsAtOnce)
{
    const auto seeds = freshSeeds(commitSeedBase() ^ 0xF4EE, kSeeds);
    for (const std::uint64_t seed : seeds) {
        std::cout << "seed " << seed << " (free)" << std::endl;
        const SimulationResult result = runSimulation(seed, Sabotage::None, kernel::RunMode::Free);
        EXPECT_TRUE(result.passed()) << result.report();
    }
}

}  // namespace
}  // namespace velorin::reliability
