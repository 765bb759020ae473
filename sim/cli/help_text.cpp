// The help's text wrapped to a terminal's width.
#include "sim/cli/help_text.hpp"

#include <algorithm>
#include <sstream>
#include <string_view>

namespace velorin::sim {

namespace {

// An example is read as one piece: its spaces are held together while the line is broken.
constexpr std::string_view kExample = "e.g. ";
constexpr char kHeldSpace = '\x1f';

std::string holdExample(std::string line)
{
    const std::size_t example = line.find(kExample);
    if (example != std::string::npos)
        std::replace(line.begin() + static_cast<std::ptrdiff_t>(example), line.end(), ' ', kHeldSpace);
    return line;
}

void wrapLine(std::string line, std::size_t width, std::size_t descriptionColumn, std::string& out)
{
    line = holdExample(std::move(line));
    const bool option = line.rfind("  -", 0) == 0 && line.size() > descriptionColumn;
    const std::size_t indent = option ? descriptionColumn : line.find_first_not_of(' ');
    while (line.size() > width) {
        const std::size_t cut = line.rfind(' ', width);
        // A word longer than the room stays whole.
        if (cut == std::string::npos || cut <= indent)
            break;
        out += line.substr(0, line.find_last_not_of(' ', cut) + 1) + '\n';
        const std::size_t next = line.find_first_not_of(' ', cut);
        line = std::string(indent, ' ') + (next == std::string::npos ? std::string() : line.substr(next));
    }
    out += line + '\n';
    std::replace(out.begin(), out.end(), kHeldSpace, ' ');
}

}  // namespace

std::string wrapHelp(const std::string& text, std::size_t width, std::size_t descriptionColumn)
{
    std::string out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        wrapLine(line, width, descriptionColumn, out);
    if (!text.empty() && text.back() != '\n' && !out.empty())
        out.pop_back();
    return out;
}

}  // namespace velorin::sim
