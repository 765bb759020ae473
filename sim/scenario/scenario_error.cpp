// Bad scenario input, told as "file:line: reason".
#include "sim/scenario/scenario_error.hpp"

#include "platform/trace/printable.hpp"

#include <utility>

namespace velorin::sim {
namespace {

std::string describe(const SourceLocation& where, const std::string& reason)
{
    std::string text = where.file;
    if (where.line > 0)
        text += ":" + std::to_string(where.line);
    return text + ": " + trace::printable(reason);
}

}  // namespace

ScenarioError::ScenarioError(SourceLocation where, const std::string& reason)
    : std::runtime_error(describe(where, reason)), where_(std::move(where)), reason_(reason)
{
}

}  // namespace velorin::sim
