// Fuzz target of the scenario parser: a file is refused with "file:line: reason", or it parses
// into lines in time order, and the lines as written parse again to the same commands.
#include "sim/scenario/scenario.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void broken(const std::string& what)
{
    std::fprintf(stderr, "scenario: %s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    velorin::sim::Scenario scenario;
    try {
        scenario = velorin::sim::parseScenario(text, "fuzz.scn");
    } catch (const velorin::sim::ScenarioError& error) {
        const std::string_view what = error.what();
        if (!what.starts_with("fuzz.scn:") || error.location().line < 1)
            broken("a refusal without its file and line: " + std::string(what));
        return 0;
    }
    std::string written;
    for (std::size_t i = 0; i < scenario.lines.size(); ++i) {
        const auto& line = scenario.lines[i];
        if (i > 0 && (line.at < scenario.lines[i - 1].at || line.where.line <= scenario.lines[i - 1].where.line))
            broken("lines out of order at line " + std::to_string(line.where.line));
        written += line.text + "\n";
    }
    velorin::sim::Scenario again;
    try {
        again = velorin::sim::parseScenario(written, "again.scn");
    } catch (const velorin::sim::ScenarioError& error) {
        broken(std::string("its own lines do not parse again: ") + error.what());
    }
    if (again.lines.size() != scenario.lines.size())
        broken("its own lines parse to another number of lines");
    for (std::size_t i = 0; i < again.lines.size(); ++i) {
        if (again.lines[i].at != scenario.lines[i].at || !(again.lines[i].command == scenario.lines[i].command))
            broken("line " + std::to_string(scenario.lines[i].where.line) +
                   " parses again differently: " + scenario.lines[i].text);
    }
    return 0;
}
