#include "lexer.hpp"

#include <cctype>

namespace velorin::rc {

namespace {
bool isIdentStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool isIdentChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
}  // namespace

std::string describe(const Token& token)
{
    switch (token.kind) {
    case TokenKind::End:
        return "the end of the file";
    case TokenKind::Directive:
        return "'#" + token.text + "'";
    default:
        return "'" + token.text + "'";
    }
}

std::u16string utf16(std::string_view utf8, const SourceLocation& where)
{
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= utf8.size())
            throw RcError(where, "text is not UTF-8");
        char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80)
                throw RcError(where, "text is not UTF-8");
            cp = (cp << 6) | (c & 0x3F);
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string utf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size())
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        appendUtf8(out, cp);
    }
    return out;
}

Lexer::Lexer(std::string text, std::string file, int firstLine, bool lenient)
    : m_text(std::move(text)), m_file(std::move(file)), m_line(firstLine), m_lenient(lenient)
{
}

char Lexer::peek(std::size_t ahead) const
{
    return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : '\0';
}

void Lexer::skipSpaceAndComments()
{
    while (m_pos < m_text.size()) {
        const char c = peek();
        if (c == '\n') {
            ++m_line;
            ++m_pos;
            m_lineStart = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++m_pos;
        } else if (c == '/' && peek(1) == '/') {
            while (m_pos < m_text.size() && peek() != '\n')
                ++m_pos;
        } else if (c == '/' && peek(1) == '*') {
            const SourceLocation start = here();
            m_pos += 2;
            while (m_pos < m_text.size() && !(peek() == '*' && peek(1) == '/')) {
                if (peek() == '\n')
                    ++m_line;
                ++m_pos;
            }
            if (m_pos >= m_text.size())
                throw RcError(start, "comment not closed");
            m_pos += 2;
        } else {
            return;
        }
    }
}

Token Lexer::next()
{
    skipSpaceAndComments();
    Token token;
    token.where = here();
    if (m_pos >= m_text.size())
        return token;
    const bool lineStart = m_lineStart;
    m_lineStart = false;
    const char c = peek();
    if (c == '#' && lineStart)
        return directive();
    if (std::isdigit(static_cast<unsigned char>(c)))
        return number();
    if (c == '\'' && m_lenient) {  // a C character literal, which may hold a quote
        const std::size_t close = m_text.find_first_of("'\n", m_pos + (peek(1) == '\\' ? 3 : 2));
        m_pos = close == std::string::npos || m_text[close] == '\n' ? m_pos + 1 : close + 1;
        token.kind = TokenKind::Punct;
        token.text = "'";
        return token;
    }
    if (c == '"')
        return string(false, m_pos);
    if ((c == 'L' || c == 'l') && peek(1) == '"') {
        ++m_pos;
        return string(true, m_pos - 1);
    }
    if (isIdentStart(c)) {
        const std::size_t start = m_pos;
        while (isIdentChar(peek()))
            ++m_pos;
        token.kind = TokenKind::Identifier;
        token.text = m_text.substr(start, m_pos - start);
        return token;
    }
    if (std::string_view(",|&+-~(){}").find(c) != std::string_view::npos || m_lenient) {
        ++m_pos;
        token.kind = TokenKind::Punct;
        token.text = std::string(1, c);
        return token;
    }
    throw RcError(token.where, std::string("unexpected character '") + c + "'");
}

Token Lexer::directive()
{
    Token token;
    token.kind = TokenKind::Directive;
    token.where = here();
    ++m_pos;  // '#'
    std::string text;
    while (m_pos < m_text.size() && peek() != '\n') {
        if (peek() == '\\' && (peek(1) == '\n' || (peek(1) == '\r' && peek(2) == '\n'))) {
            m_pos += peek(1) == '\r' ? 3 : 2;
            ++m_line;
            text += ' ';
            continue;
        }
        if (peek() == '/' && peek(1) == '/')
            break;
        text += peek();
        ++m_pos;
    }
    while (m_pos < m_text.size() && peek() != '\n')
        ++m_pos;
    token.text = std::move(text);
    return token;
}

Token Lexer::number()
{
    Token token;
    token.kind = TokenKind::Number;
    token.where = here();
    const std::size_t start = m_pos;
    std::uint64_t value = 0;
    const bool hex = peek() == '0' && (peek(1) == 'x' || peek(1) == 'X');
    if (hex) {
        m_pos += 2;
        if (!std::isxdigit(static_cast<unsigned char>(peek())))
            throw RcError(token.where, "hexadecimal number without digits");
    }
    while (hex ? std::isxdigit(static_cast<unsigned char>(peek())) : std::isdigit(static_cast<unsigned char>(peek()))) {
        const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(peek())));
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(d <= '9' ? d - '0' : d - 'a' + 10);
        if (value > 0xFFFFFFFFu)
            throw RcError(token.where,
                          "number " + m_text.substr(start, m_pos + 1 - start) + "... does not fit in 32 bits");
        ++m_pos;
    }
    while (peek() == 'L' || peek() == 'l' || peek() == 'U' || peek() == 'u')
        ++m_pos;
    if (isIdentChar(peek())) {
        while (isIdentChar(peek()))
            ++m_pos;
        if (m_lenient) {
            token.text = m_text.substr(start, m_pos - start);
            return token;
        }
        throw RcError(token.where, "malformed number '" + m_text.substr(start, m_pos - start) + "'");
    }
    token.text = m_text.substr(start, m_pos - start);
    token.number = static_cast<std::uint32_t>(value);
    return token;
}

Token Lexer::string(bool wide, std::size_t start)
{
    Token token;
    token.kind = TokenKind::String;
    token.where = here();
    ++m_pos;  // opening quote
    std::string value;
    for (;;) {
        if (m_pos >= m_text.size() || peek() == '\n')
            throw RcError(token.where, "string not closed on its line");
        const char c = peek();
        if (c == '"') {
            if (peek(1) == '"') {  // "" stands for one quote in a resource script
                value += '"';
                m_pos += 2;
                continue;
            }
            ++m_pos;
            break;
        }
        if (c != '\\') {
            value += c;
            ++m_pos;
            continue;
        }
        const char e = peek(1);
        m_pos += 2;
        switch (e) {
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case 't':
            value += '\t';
            break;
        case 'a':
            value += '\a';
            break;
        case 'b':
            value += '\b';
            break;
        case 'f':
            value += '\f';
            break;
        case 'v':
            value += '\v';
            break;
        case '\\':
            value += '\\';
            break;
        case '"':
            value += '"';
            break;
        case '\'':
            value += '\'';
            break;
        case '?':
            value += '?';
            break;
        case 'x':
        case 'X': {
            char32_t cp = 0;
            int digits = 0;
            while (digits < (wide ? 4 : 2) && std::isxdigit(static_cast<unsigned char>(peek()))) {
                const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(peek())));
                cp = cp * 16 + static_cast<char32_t>(d <= '9' ? d - '0' : d - 'a' + 10);
                ++digits;
                ++m_pos;
            }
            if (digits == 0)
                throw RcError(token.where, "\\x without hexadecimal digits");
            appendUtf8(value, cp);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                char32_t cp = static_cast<char32_t>(e - '0');
                for (int digits = 1; digits < 3 && peek() >= '0' && peek() <= '7'; ++digits, ++m_pos)
                    cp = cp * 8 + static_cast<char32_t>(peek() - '0');
                appendUtf8(value, cp);
                break;
            }
            if (m_lenient) {
                value += e;
                break;
            }
            throw RcError(token.where, std::string("unknown escape \\") + e + " in a string");
        }
    }
    token.text = m_text.substr(start, m_pos - start);
    token.string = utf16(value, token.where);
    return token;
}

}  // namespace velorin::rc
