// Tokens of a resource script, after the preprocessor.
#pragma once

#include "rc_error.hpp"

#include <cstdint>
#include <string>

namespace velorin::rc {

enum class TokenKind {
    Identifier,
    Number,
    String,
    Punct,      // one of , | & + - ~ ( ) { }
    Directive,  // a whole preprocessor line, without the '#'
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;          // as written (for a string: the source, quotes included)
    std::uint32_t number = 0;  // Number
    std::u16string string;     // String, escapes resolved
    SourceLocation where;

    bool is(TokenKind k, std::string_view t) const { return kind == k && text == t; }
    bool isPunct(char c) const { return kind == TokenKind::Punct && text.size() == 1 && text[0] == c; }
};

// How a token reads in an error message.
std::string describe(const Token& token);

}  // namespace velorin::rc
