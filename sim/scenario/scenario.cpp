// A scenario file read into timed lines, each with its command.
#include "sim/scenario/scenario.hpp"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "platform/trace/printable.hpp"
#include "sim/scenario/command_parser.hpp"
#include "sim/scenario/tokenizer.hpp"

namespace velorin::sim {

std::string locationOf(const ScenarioLine& line)
{
    return line.where.file + ":" + std::to_string(line.where.line) + ": ";
}

std::optional<std::string> refusedWithMachinePower(const Scenario& scenario)
{
    for (const ScenarioLine& line : scenario.lines) {
        if (std::holds_alternative<PowerCommand>(line.command))
            return locationOf(line) + std::string(commandName(line.command)) +
                   ": the machine's own charger drives the battery in this run (--power host)";
    }
    return std::nullopt;
}

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct PreviousLine {
    DeviceTime at = 0;
    int number = 0;
};

DeviceTime lineTime(std::string_view word, const PreviousLine& previous)
{
    if (word == "+")
        throw std::invalid_argument("'+' needs a time after it, e.g. +500ms");
    if (word.starts_with('+')) {
        const DeviceTime delta = parseDeviceTime(word.substr(1));
        if (delta > kernel::kLastMoment - previous.at)
            throw std::invalid_argument("time '" + std::string(word) + "' after " + formatDeviceTime(previous.at) +
                                        " " + tooLate());
        return previous.at + delta;
    }
    if (word.front() < '0' || word.front() > '9')
        throw std::invalid_argument("a line must start with a time (e.g. 0, 2s, +500ms), got '" + std::string(word) +
                                    "'");
    const DeviceTime at = parseDeviceTime(word);
    if (at < previous.at)
        throw std::invalid_argument("time goes backwards: " + std::string(word) + " is before " +
                                    formatDeviceTime(previous.at) + " of line " + std::to_string(previous.number));
    return at;
}

}  // namespace

Scenario parseScenario(std::string_view text, const std::string& fileName)
{
    if (text.starts_with(kUtf8Bom))
        text.remove_prefix(kUtf8Bom.size());
    if (text.size() >= 4 && text[0] != '\0' && text[1] == '\0' && text[2] != '\0' && text[3] == '\0')
        throw ScenarioError({fileName, 1}, "the file looks like UTF-16 (a NUL after every character); a scenario is "
                                           "UTF-8 text");
    Scenario scenario{fileName, {}};
    PreviousLine previous;
    std::optional<int> endLine;
    int number = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view raw = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        SourceLocation where{fileName, ++number};
        try {
            // Checked first: a message carried by an exception ends at its first NUL.
            if (raw.find('\0') != std::string_view::npos)
                throw std::invalid_argument("a NUL byte in the line '" + trace::printable(raw) +
                                            "'; a scenario is UTF-8 text");
            const TokenizedLine line = tokenizeLine(raw);
            if (line.tokens.empty())
                continue;
            if (endLine)
                throw std::invalid_argument("nothing but blank and comment lines may follow "
                                            "'end' of line " +
                                            std::to_string(*endLine));
            const DeviceTime at = lineTime(line.tokens[0].text, previous);
            if (line.tokens.size() < 2)
                throw std::invalid_argument("a command must follow the time '" + std::string(line.tokens[0].text) +
                                            "'");
            Command command = parseCommand(line);
            if (std::holds_alternative<EndCommand>(command))
                endLine = number;
            previous = {at, number};
            scenario.lines.push_back({at, where, std::string(line.content()), std::move(command)});
        } catch (const std::invalid_argument& e) {
            throw ScenarioError(std::move(where), e.what());
        }
    }
    return scenario;
}

Scenario loadScenarioFile(const std::string& path)
{
    const auto cannotRead = [&](const std::string& why) { return ScenarioError({path, 0}, "cannot read: " + why); };
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw cannotRead("it is a directory");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw cannotRead(errno != 0 ? std::generic_category().message(errno) : std::string("cannot open the file"));
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw cannotRead("read error");
    return parseScenario(text, path);
}

}  // namespace velorin::sim
