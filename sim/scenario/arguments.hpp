// Reads the words after a scenario command's keyword, and words what is missing or left over.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "sim/scenario/tokenizer.hpp"

namespace velorin::sim {

// Reads the words after a command's keyword(s) and words the errors about missing or extra
// ones. All errors are std::invalid_argument carrying the reason alone.
class Arguments {
public:
    // `first` indexes the first argument in line.tokens; tokens[0] is the time and
    // tokens[1] the command keyword.
    Arguments(const TokenizedLine& line, std::size_t first, std::string usage);

    bool done() const { return next_ >= line_.tokens.size(); }
    std::optional<std::string_view> peek() const;
    // The next word; a missing one is reported with the usage text.
    std::string_view next();
    // Everything not yet read, raw; consumes it.
    std::string_view rest();
    // Reports a word left over, quoting the command up to it.
    void finish() const;
    [[noreturn]] void failUsage() const;

private:
    const TokenizedLine& line_;
    std::size_t next_;
    std::string usage_;
};

}  // namespace velorin::sim
