// A scenario line split into words, quotes kept together and the comment dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velorin::sim {

struct Token {
    std::string_view text;   // as written, quotes and escapes included
    std::size_t offset = 0;  // into the line
    std::size_t end() const { return offset + text.size(); }
};

// A scenario line split into words, with its comment dropped.
struct TokenizedLine {
    std::string_view line;
    std::vector<Token> tokens;

    // The raw text from tokens[first] to the end of tokens[last - 1].
    std::string_view span(std::size_t first, std::size_t last) const;
    // The line as written, comment stripped, trimmed.
    std::string_view content() const { return span(0, tokens.size()); }
};

// Words are separated by blanks; "..." keeps blanks inside a word and may start mid-word
// (sz:"a b"). A '#' at the start of a word begins a comment, except the #rrggbb colour of
// `expect pixel`. Throws std::invalid_argument for a quote that is never closed.
TokenizedLine tokenizeLine(std::string_view line);

// The text of a word that is exactly one quoted string: \" and \\ are escapes, any other
// backslash is kept as written so registry paths read naturally.
// Throws std::invalid_argument when the word is not one quoted string.
std::string unquote(std::string_view word);

// A bare word as written, or a whole-word quoted string unquoted.
std::string wordValue(std::string_view word);

}  // namespace velorin::sim
