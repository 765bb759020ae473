// A scenario line's command read from its words.
#pragma once

#include "sim/scenario/command.hpp"
#include "sim/scenario/tokenizer.hpp"

namespace velorin::sim {

// Parses the command of a line whose tokens[0] is the time and tokens[1] the command
// keyword. Throws std::invalid_argument with the reason (no file or line).
Command parseCommand(const TokenizedLine& line);

}  // namespace velorin::sim
