// Reads the words after a scenario command's keyword, and words what is missing or left over.
#include "sim/scenario/arguments.hpp"

#include <stdexcept>
#include <utility>

namespace velorin::sim {

Arguments::Arguments(const TokenizedLine& line, std::size_t first, std::string usage)
    : line_(line), next_(first), usage_(std::move(usage))
{
}

std::optional<std::string_view> Arguments::peek() const
{
    if (done())
        return std::nullopt;
    return line_.tokens[next_].text;
}

std::string_view Arguments::next()
{
    if (done())
        failUsage();
    return line_.tokens[next_++].text;
}

std::string_view Arguments::rest()
{
    const std::string_view text = line_.span(next_, line_.tokens.size());
    next_ = line_.tokens.size();
    return text;
}

void Arguments::finish() const
{
    if (done())
        return;
    throw std::invalid_argument("unexpected '" + std::string(line_.tokens[next_].text) + "' after '" +
                                std::string(line_.span(1, next_)) + "'");
}

void Arguments::failUsage() const
{
    throw std::invalid_argument(usage_);
}

}  // namespace velorin::sim
