// Splits the text of one resource script or header into tokens. Comments are dropped; a line
// whose first character is '#' comes back whole as a Directive token.
#pragma once

#include "token.hpp"

#include <string>

namespace velorin::rc {

class Lexer {
public:
    // A lenient lexer reads C text (the declarations of an included header, which are dropped):
    // a character a script cannot hold comes back as a Punct token instead of an error.
    Lexer(std::string text, std::string file, int firstLine = 1, bool lenient = false);

    Token next();

private:
    char peek(std::size_t ahead = 0) const;
    void skipSpaceAndComments();
    Token directive();
    Token number();
    Token string(bool wide, std::size_t start);
    SourceLocation here() const { return {m_file, m_line}; }

    std::string m_text;
    std::string m_file;
    std::size_t m_pos = 0;
    int m_line;
    bool m_lineStart = true;
    bool m_lenient;
};

// UTF-16 of UTF-8 text; `where` names the place of text that is not UTF-8.
std::u16string utf16(std::string_view utf8, const SourceLocation& where);
std::string utf8(std::u16string_view utf16);

}  // namespace velorin::rc
