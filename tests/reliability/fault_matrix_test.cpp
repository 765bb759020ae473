// The fault matrix over every platform call of the utility, and the test that every call site
// in app/, screen/ and device/ is in it.
#include "tests/reliability/fault_matrix.hpp"
#include "tests/reliability/platform_api_scan.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <set>

namespace velorin::reliability {
namespace {

constexpr std::size_t kShards = 4;

// Call sites that no run of the device can reach, and why.
const std::map<std::string, std::string>& unreachable()
{
    static const std::map<std::string, std::string> sites{
        {"LocalFree", "the key holder's value buffer is never filled, so it is never freed"},
        {"StopPowerNotifications",
         "the monitor's clean-up after a stop never runs: the window's thread does not block between its stop "
         "request and the end of the process, which ends the monitor at its next call"},
    };
    return sites;
}

class FaultMatrix : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FaultMatrix, EveryFailingCallIsSilentAndSafe)
{
    const MatrixPlan& plan = matrixPlan();
    std::size_t run = 0;
    for (std::size_t i = GetParam(); i < plan.cases.size(); i += kShards, ++run) {
        const FaultCase& faultCase = plan.cases[i];
        // VELORIN_MATRIX_CASE=text runs only the cases whose description holds the text.
        const char* only = std::getenv("VELORIN_MATRIX_CASE");
        if (only && faultCase.describe().find(only) == std::string::npos)
            continue;
        const CaseOutcome outcome = runFaultCase(faultCase);
        EXPECT_TRUE(outcome.injected) << faultCase.describe() << ": the fault never struck";
        for (const auto& failure : outcome.failures)
            ADD_FAILURE() << faultCase.describe() << ": " << failure;
    }
    std::cout << run << " of " << plan.cases.size() << " cases in this shard" << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Shard, FaultMatrix, ::testing::Range<std::size_t>(0, kShards));

TEST(FaultMatrixCoverage, EveryPlatformCallSiteOfTheUtilityIsFailedInTurn)
{
    const std::set<std::string> names = platformApiNames(VELORIN_SOURCE_DIR);
    ASSERT_GT(names.size(), 50u) << "the platform's headers were not found under " << VELORIN_SOURCE_DIR;
    const auto sites = sitesByFunction(utilityCallSites(VELORIN_SOURCE_DIR, names));
    ASSERT_GT(sites.size(), 20u);

    // The places where the scenario makes each call, failed in turn (not counting the cases of
    // its last call and of every call).
    std::map<std::string, std::set<std::string>> places;
    for (const FaultCase& faultCase : matrixPlan().cases) {
        if (faultCase.context != kLastCall && faultCase.context != kEveryCall)
            places[faultCase.function].insert(faultCase.context);
    }
    for (const auto& [function, where] : sites) {
        std::string list;
        for (const CallSite& site : where)
            list += " " + site.file + ":" + std::to_string(site.line);
        if (std::getenv("VELORIN_SIM_VERBOSE"))
            std::cout << function << ": " << where.size() << " site(s), " << places[function].size()
                      << " place(s):" << list << std::endl;
        if (unreachable().contains(function)) {
            EXPECT_FALSE(matrixPlan().calls.contains(function))
                << function << " is called after all; take it off the unreachable list:" << list;
            continue;
        }
        // Each site is a place where the scenario makes the call (a message handled, or a call's
        // turn within one): there must be a case for at least as many places as sites.
        const std::size_t covered = places[function].size();
        EXPECT_GE(covered, where.size()) << function << " has " << where.size() << " call site(s) but the scenario "
                                         << "makes it in " << covered << " place(s); extend the scenario:" << list;
    }
}

}  // namespace
}  // namespace velorin::reliability
