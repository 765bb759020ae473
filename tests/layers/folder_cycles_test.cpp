// The folders of the device, the simulator and the Win32 build include one another without a
// cycle, so that each can be read and changed knowing only the folders below it. The layering
// rule of the device, stated here: each area's entry points (its *_api.cpp files and the
// *_call.hpp wrappers they call through) are the layer above boot/, the only files that see the
// assembled device (Kernel::device()); they count as a folder of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSource = VELORIN_SOURCE_DIR;
constexpr const char* kScanned[] = {"platform", "sim", "win32"};

bool isEntryPoint(const fs::path& file)
{
    const std::string name = file.filename().string();
    return name.ends_with("_api.cpp") || name.ends_with("_call.hpp");
}

// The folder a file of the source tree counts in: an area of the device (its entry points apart),
// a folder of the simulator or of the Win32 build; nothing for a file outside the three.
std::optional<std::string> folderOf(const fs::path& relative)
{
    std::vector<std::string> parts;
    for (const auto& part : relative)
        parts.push_back(part.string());
    const auto scanned = std::find(std::begin(kScanned), std::end(kScanned), parts.front());
    if (parts.size() < 2 || scanned == std::end(kScanned))
        return std::nullopt;
    if (parts.size() == 2)
        return parts[0];  // the system headers at the front of platform/, sim's and win32/'s own
    const std::string folder = parts[0] + "/" + parts[1];
    if (parts[0] == "platform" && isEntryPoint(relative))
        return folder + " entry points";
    return folder;
}

// The first include that takes one folder into another.
struct Include {
    std::string file;
    int line = 0;
    std::string text;
};
using Graph = std::map<std::string, std::map<std::string, Include>>;

// Where an include names a file as the build finds it: beside the includer, from the top of the
// tree, or through the device's include folder.
std::optional<fs::path> resolve(const fs::path& includer, const std::string& name)
{
    for (const fs::path& base : {includer.parent_path(), kSource, kSource / "platform"}) {
        const fs::path candidate = (base / name).lexically_normal();
        if (fs::is_regular_file(candidate))
            return candidate.lexically_relative(kSource);
    }
    return std::nullopt;
}

bool isSource(const fs::path& file)
{
    const std::string ext = file.extension().string();
    return ext == ".h" || ext == ".hpp" || ext == ".cpp" || ext == ".inc";
}

struct Tree {
    Graph graph;
    std::vector<std::string> deviceOutsideEntryPoints;  // file:line of each use
};

Tree scanTree()
{
    static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    static const std::regex deviceCall(R"(\.device\(\))");
    Tree tree;
    for (const char* top : kScanned) {
        for (const auto& entry : fs::recursive_directory_iterator(kSource / top)) {
            if (!entry.is_regular_file() || !isSource(entry.path()))
                continue;
            const fs::path relative = entry.path().lexically_relative(kSource);
            const std::string from = *folderOf(relative);
            const bool insideDevice = from.starts_with("platform/") && !isEntryPoint(relative);
            std::ifstream in(entry.path());
            std::string text;
            for (int line = 1; std::getline(in, text); ++line) {
                if (insideDevice && std::regex_search(text, deviceCall))
                    tree.deviceOutsideEntryPoints.push_back(relative.string() + ":" + std::to_string(line));
                std::smatch match;
                if (!std::regex_search(text, match, include))
                    continue;
                const auto target = resolve(entry.path(), match[1]);
                const auto to = target ? folderOf(*target) : std::nullopt;
                if (to && *to != from)
                    tree.graph[from].try_emplace(*to, Include{relative.string(), line, match[1]});
            }
        }
    }
    return tree;
}

// A cycle for each edge that closes one on a depth-first walk: none exactly when the graph has
// none. Each is its folders in order, the first again at the end.
std::vector<std::vector<std::string>> cyclesOf(const Graph& graph)
{
    enum class Mark { Unseen, OnPath, Done };
    std::map<std::string, Mark> marks;
    std::vector<std::string> path;
    std::vector<std::vector<std::string>> cycles;
    const std::function<void(const std::string&)> walk = [&](const std::string& folder) {
        marks[folder] = Mark::OnPath;
        path.push_back(folder);
        if (const auto edges = graph.find(folder); edges != graph.end()) {
            for (const auto& [next, include] : edges->second) {
                if (marks[next] == Mark::OnPath) {
                    std::vector<std::string> cycle(std::find(path.begin(), path.end(), next), path.end());
                    cycle.push_back(next);
                    cycles.push_back(std::move(cycle));
                } else if (marks[next] == Mark::Unseen) {
                    walk(next);
                }
            }
        }
        path.pop_back();
        marks[folder] = Mark::Done;
    };
    for (const auto& [folder, edges] : graph) {
        if (marks[folder] == Mark::Unseen)
            walk(folder);
    }
    return cycles;
}

// "a -> b -> a", each step with the include that makes it.
std::string describe(const Graph& graph, const std::vector<std::string>& cycle)
{
    std::string out = cycle.front();
    for (std::size_t i = 1; i < cycle.size(); ++i) {
        const Include& include = graph.at(cycle[i - 1]).at(cycle[i]);
        out += "\n  -> " + cycle[i] + "   (" + include.file + ":" + std::to_string(include.line) + " includes \"" +
               include.text + "\")";
    }
    return out;
}

TEST(FolderIncludes, EveryFileCountsInItsFolderAndEntryPointsApart)
{
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"platform/window/window_manager.cpp", "platform/window"},
        {"platform/window/window_api.cpp", "platform/window entry points"},
        {"platform/gdi/gdi_call.hpp", "platform/gdi entry points"},
        {"platform/resources/rc/winresrc.h", "platform/resources"},
        {"platform/windows.h", "platform"},
        {"sim/harness/harness.hpp", "sim/harness"},
        {"win32/coredll/dll_main.cpp", "win32/coredll"},
        {"utility/app/main.cpp", ""},
    };
    for (const auto& [file, folder] : rows)
        EXPECT_EQ(folderOf(file).value_or(""), folder) << file;
}

TEST(FolderIncludes, CyclesAreFoundAndNamed)
{
    const Include any{"f", 1, "h"};
    const auto graphOf = [&](std::vector<std::pair<std::string, std::string>> edges) {
        Graph graph;
        for (const auto& [from, to] : edges)
            graph[from][to] = any;
        return graph;
    };
    using Cycles = std::vector<std::vector<std::string>>;
    EXPECT_EQ(cyclesOf(graphOf({{"a", "b"}, {"b", "a"}})), (Cycles{{"a", "b", "a"}}));
    EXPECT_EQ(cyclesOf(graphOf({{"a", "b"}, {"b", "c"}, {"c", "a"}, {"c", "d"}})), (Cycles{{"a", "b", "c", "a"}}));
    EXPECT_EQ(cyclesOf(graphOf({{"a", "b"}, {"a", "c"}, {"b", "c"}, {"c", "d"}})), Cycles{});
    EXPECT_EQ(cyclesOf(graphOf({{"a", "b"}, {"x", "y"}, {"y", "z"}, {"z", "y"}})), (Cycles{{"y", "z", "y"}}));
}

TEST(FolderIncludes, RunDownwardWithoutACycle)
{
    const Tree tree = scanTree();
    // The scan sees includes at all: a few that the layering depends on.
    for (const auto& [from, to] : {std::pair{"platform/window", "platform/gdi"},
                                   {"platform/boot", "platform/window"},
                                   {"platform/window entry points", "platform/boot"},
                                   {"sim/harness", "platform/boot"}})
        EXPECT_TRUE(tree.graph.contains(from) && tree.graph.at(from).contains(to)) << from << " -> " << to;

    for (const auto& cycle : cyclesOf(tree.graph))
        ADD_FAILURE() << "folders include one another in a cycle:\n" << describe(tree.graph, cycle);
    for (const auto& use : tree.deviceOutsideEntryPoints)
        ADD_FAILURE() << use << ": the assembled device is reached outside the entry points";
}

}  // namespace
