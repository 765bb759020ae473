#include "preprocessor.hpp"

#include "lexer.hpp"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace velorin::rc {

namespace fs = std::filesystem;

namespace {
constexpr int kMaxIncludeDepth = 32;

std::string trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

// Splits "name rest" into the leading identifier and what follows it.
std::pair<std::string, std::string> leadingWord(std::string_view text)
{
    const std::string t = trim(text);
    std::size_t end = 0;
    while (end < t.size() && (std::isalnum(static_cast<unsigned char>(t[end])) || t[end] == '_'))
        ++end;
    return {t.substr(0, end), t.substr(end)};
}

bool isHeader(const fs::path& file)
{
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".h" || ext == ".hpp" || ext == ".hh" || ext == ".c";
}
}  // namespace

Preprocessor::Preprocessor(std::vector<fs::path> includeDirs) : m_includeDirs(std::move(includeDirs)) {}

std::vector<Token> Preprocessor::run(const fs::path& script)
{
    std::vector<Token> out;
    processFile(script, nullptr, out);
    Token end;
    end.where = out.empty() ? SourceLocation{script.string(), 1} : out.back().where;
    out.push_back(end);
    return out;
}

void Preprocessor::processFile(const fs::path& file, const SourceLocation* includedFrom, std::vector<Token>& out)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (includedFrom)
            throw RcError(*includedFrom, "cannot open include file " + file.string());
        throw RcError({file.string(), 1}, "cannot open the resource script");
    }
    std::ostringstream text;
    text << in.rdbuf();
    m_filesRead.push_back(file);

    const bool header = isHeader(file);
    std::vector<Conditional> conditions;
    Lexer lexer(text.str(), file.string(), 1, header);
    for (;;) {
        Token token = lexer.next();
        if (token.kind == TokenKind::End)
            break;
        if (token.kind == TokenKind::Directive) {
            directive(token, file, conditions, out);
            continue;
        }
        if (!conditions.empty() && !conditions.back().active)
            continue;
        if (header)
            continue;
        std::set<std::string> expanding;
        expand(token, token.where, expanding, out);
    }
    if (!conditions.empty())
        throw RcError(conditions.back().where, "conditional without #endif");
}

void Preprocessor::directive(const Token& line, const fs::path& file, std::vector<Conditional>& conditions,
                             std::vector<Token>& out)
{
    const auto [name, rest] = leadingWord(line.text);
    const bool active = conditions.empty() || conditions.back().active;
    const SourceLocation& where = line.where;

    if (name == "ifdef" || name == "ifndef") {
        const auto [macro, tail] = leadingWord(rest);
        if (macro.empty() || !trim(tail).empty())
            throw RcError(where, "#" + name + " needs one macro name");
        const bool holds = defined(macro) == (name == "ifdef");
        conditions.push_back(Conditional{active, active && holds, false, where});
        return;
    }
    if (name == "else") {
        if (conditions.empty() || conditions.back().seenElse)
            throw RcError(where, "#else without #ifdef or #ifndef");
        Conditional& c = conditions.back();
        c.active = c.enclosingActive && !c.active;
        c.seenElse = true;
        return;
    }
    if (name == "endif") {
        if (conditions.empty())
            throw RcError(where, "#endif without #ifdef or #ifndef");
        conditions.pop_back();
        return;
    }
    if (name == "if" || name == "elif")
        throw RcError(where, "#" + name + " is not supported; use #ifdef or #ifndef");
    if (!active)
        return;

    if (name == "include") {
        const std::string target = trim(rest);
        const char open = target.empty() ? '\0' : target.front();
        const char close = open == '"' ? '"' : open == '<' ? '>' : '\0';
        const auto end = close ? target.find(close, 1) : std::string::npos;
        if (end == std::string::npos || !trim(target.substr(end + 1)).empty())
            throw RcError(where, "#include needs \"file\" or <file>");
        if (m_depth >= kMaxIncludeDepth)
            throw RcError(where, "includes nest more than " + std::to_string(kMaxIncludeDepth) + " deep");
        const fs::path found = findInclude(target.substr(1, end - 1), open == '<', file, where);
        ++m_depth;
        processFile(found, &where, out);
        --m_depth;
        return;
    }
    if (name == "define") {
        const auto [macro, body] = leadingWord(rest);
        if (macro.empty() || std::isdigit(static_cast<unsigned char>(macro[0])))
            throw RcError(where, "#define needs a macro name");
        if (!body.empty() && body.front() == '(')
            throw RcError(where, "function-like macro " + macro + " is not supported");
        Macro m{{}, where};
        Lexer lexer(body, where.file, where.line);
        for (Token t = lexer.next(); t.kind != TokenKind::End; t = lexer.next())
            m.body.push_back(std::move(t));
        m_macros[macro] = std::move(m);
        return;
    }
    if (name == "undef") {
        const auto [macro, tail] = leadingWord(rest);
        if (macro.empty() || !trim(tail).empty())
            throw RcError(where, "#undef needs one macro name");
        m_macros.erase(macro);
        return;
    }
    if (name == "pragma" || name.empty())
        return;
    if (name == "error")
        throw RcError(where, "#error" + rest);
    throw RcError(where, "unknown directive #" + name);
}

void Preprocessor::expand(const Token& token, const SourceLocation& where, std::set<std::string>& expanding,
                          std::vector<Token>& out) const
{
    if (token.kind == TokenKind::Identifier && !expanding.count(token.text)) {
        const auto it = m_macros.find(token.text);
        if (it != m_macros.end()) {
            expanding.insert(token.text);
            for (const Token& t : it->second.body)
                expand(t, where, expanding, out);
            expanding.erase(token.text);
            return;
        }
    }
    Token copy = token;
    copy.where = where;
    out.push_back(std::move(copy));
}

fs::path Preprocessor::findInclude(const std::string& name, bool angled, const fs::path& from,
                                   const SourceLocation& where) const
{
    std::vector<fs::path> dirs;
    if (!angled)
        dirs.push_back(from.parent_path());
    dirs.insert(dirs.end(), m_includeDirs.begin(), m_includeDirs.end());
    for (const fs::path& dir : dirs) {
        const fs::path candidate = dir / name;
        if (fs::is_regular_file(candidate))
            return candidate;
    }
    throw RcError(where, "cannot find include file " + name);
}

}  // namespace velorin::rc
