// Every process-wide variable of the utility goes back to its start value in the one hook the
// device calls before a first start; a new global that the hook misses would carry one run's
// state into the next.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Globals that keep themselves right for each process, and why.
const std::map<std::string, std::string> kSelfKept = {
    {"g_pApp", "the application object of the image, made once and the same for every start"},
    {"g_processApp", "a per-process slot"},
    {"g_permanentMap", "an entry leaves with its window object, which a process end unwinds"},
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Namespace-scope definitions of g_ names in the utility's sources: a line that starts with a
// type and defines the name, not an extern declaration or a use.
std::map<std::string, std::string> definedGlobals(const fs::path& root)
{
    static const std::regex definition(R"(^(?!extern\b)[A-Za-z_][\w:<>\*\s]*\b(g_\w+)\s*(=|;|\())");
    std::map<std::string, std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".cpp")
            continue;
        std::istringstream lines(readFile(entry.path()));
        std::string line;
        for (int number = 1; std::getline(lines, line); ++number) {
            std::smatch match;
            if (std::regex_search(line, match, definition))
                found[match[1]] = entry.path().filename().string() + ":" + std::to_string(number);
        }
    }
    return found;
}

std::string hookBody(const fs::path& root)
{
    const std::string text = readFile(root / "app" / "process_globals.cpp");
    const auto start = text.find("void ResetProcessGlobals()");
    return start == std::string::npos ? std::string() : text.substr(start);
}

TEST(ProcessGlobals, TheStartHookResetsEveryGlobalOfTheUtility)
{
    const fs::path root = VELORIN_UTILITY_DIR;
    const auto globals = definedGlobals(root);
    const std::string body = hookBody(root);
    ASSERT_FALSE(body.empty());
    // The scan itself must see the globals it is there for.
    ASSERT_GE(globals.size(), 10u);
    for (const auto& [name, where] : globals) {
        if (kSelfKept.count(name))
            continue;
        EXPECT_TRUE(std::regex_search(body, std::regex("\\b" + name + "\\b")))
            << name << " (" << where << ") is not reset by ResetProcessGlobals";
    }
    for (const auto& [name, why] : kSelfKept)
        EXPECT_TRUE(globals.count(name)) << name << " is listed as keeping itself but no longer exists";
}

}  // namespace
