// The command line of the pictures and the window, and a help that shows each option in use.
#include "sim/cli/options.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace velorin::sim {
namespace {

TEST(CommandLine, PicturesWindowAndTraceToStandardOutput)
{
    const auto parsed =
        parseCommandLine({"--gif", "out/a.gif", "--sheet", "out/s.png", "--window", "--trace-file", "-"});
    ASSERT_TRUE(parsed.options) << parsed.message;
    EXPECT_EQ(parsed.options->gifFile, "out/a.gif");
    EXPECT_EQ(parsed.options->sheetFile, "out/s.png");
    EXPECT_TRUE(parsed.options->window);
    EXPECT_EQ(parsed.options->traceFile, "-");
    EXPECT_EQ(parsed.options->trace, trace::TraceLevel::Effects);
    const auto plain = parseCommandLine({});
    EXPECT_EQ(plain.options->gifFile, std::nullopt);
    EXPECT_EQ(plain.options->sheetFile, std::nullopt);
    EXPECT_FALSE(plain.options->window);
    EXPECT_EQ(parseCommandLine({"--gif"}).exitStatus, 2);
}

TEST(CommandLine, HelpShowsEveryOptionWithAnExample)
{
    const auto help = parseCommandLine({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    int options = 0;
    // A description wrapped onto more lines is read as one.
    std::istringstream lines(std::regex_replace(help.message, std::regex("\n {10,}"), " "));
    const std::regex option(R"(^\s+--([a-z-]+))");
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (!std::regex_search(line, match, option) || match[1] == "help" || match[1] == "version")
            continue;
        ++options;
        EXPECT_NE(line.find("e.g. --" + match[1].str()), std::string::npos) << "no example for --" << match[1];
    }
    EXPECT_EQ(options, 16);
    EXPECT_NE(help.message.find("Exit status"), std::string::npos);
}

}  // namespace
}  // namespace velorin::sim
