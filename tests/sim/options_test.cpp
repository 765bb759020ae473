// velorin-sim's command line.
#include "sim/cli/options.hpp"

#include <gtest/gtest.h>

namespace velorin::sim {
namespace {

TEST(CommandLine, NoArgumentsPlaysTheDemoQuietly)
{
    const auto parsed = parseCommandLine({});
    ASSERT_TRUE(parsed.options);
    EXPECT_FALSE(parsed.options->scenarioFile);
    EXPECT_FALSE(parsed.options->trace);
    EXPECT_EQ(parsed.options->seed, 1u);
}

TEST(CommandLine, TraceTakesAnOptionalLevel)
{
    EXPECT_EQ(parseCommandLine({"--trace"}).options->trace, trace::TraceLevel::Effects);
    EXPECT_EQ(parseCommandLine({"--trace=all"}).options->trace, trace::TraceLevel::All);
    EXPECT_EQ(parseCommandLine({"--trace-file", "t.txt"}).options->trace, trace::TraceLevel::Effects);
    const auto bad = parseCommandLine({"--trace=some"});
    EXPECT_FALSE(bad.options);
    EXPECT_EQ(bad.exitStatus, 2);
}

TEST(CommandLine, ParsesTimesSeedsAndModes)
{
    const auto parsed = parseCommandLine({"--until", "1.5s", "--seed", "42", "--realtime", "--free"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->until, 1500);
    EXPECT_EQ(parsed.options->seed, 42u);
    EXPECT_TRUE(parsed.options->realtime);
    EXPECT_TRUE(parsed.options->free);
    EXPECT_TRUE(parseCommandLine({"--preempt"}).options->preempt);
    // Preemption hands one token around; the free mode has none.
    const auto both = parseCommandLine({"--preempt", "--free"});
    EXPECT_FALSE(both.options);
    EXPECT_EQ(both.exitStatus, 2);
}

TEST(CommandLine, TheMachinesChargerOnlyInWallTime)
{
    EXPECT_FALSE(parseCommandLine({}).options->hostPower);
    EXPECT_FALSE(parseCommandLine({"--power", "scenario"}).options->hostPower);
    EXPECT_TRUE(parseCommandLine({"--power", "host", "--window"}).options->hostPower);
    const auto root = parseCommandLine({"--realtime", "--power", "host", "--power-root", "."});
    ASSERT_TRUE(root.options);
    EXPECT_EQ(root.options->powerRoot, ".");
    EXPECT_FALSE(parseCommandLine({"--realtime", "--power", "host"}).options->powerRoot) << "the machine's own";
    const auto virtualTime = parseCommandLine({"--power", "host"});
    EXPECT_EQ(virtualTime.exitStatus, 2);
    EXPECT_NE(virtualTime.message.find("wall time only"), std::string::npos) << virtualTime.message;
    EXPECT_EQ(parseCommandLine({"--realtime", "--power-root", "."}).exitStatus, 2) << "a root without host";
}

TEST(CommandLine, BadInputExitsWithStatusTwoAndSaysWhy)
{
    const auto until = parseCommandLine({"--until", "soon"});
    EXPECT_EQ(until.exitStatus, 2);
    EXPECT_NE(until.message.find("--until"), std::string::npos) << until.message;
    const auto missing = parseCommandLine({"--scenario", "/nonexistent/x.scn"});
    EXPECT_EQ(missing.exitStatus, 2);
    EXPECT_NE(missing.message.find("/nonexistent/x.scn"), std::string::npos) << missing.message;
    EXPECT_EQ(parseCommandLine({"--bogus"}).exitStatus, 2);
    const auto help = parseCommandLine({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.message.find("--scenario"), std::string::npos);
}

}  // namespace
}  // namespace velorin::sim
