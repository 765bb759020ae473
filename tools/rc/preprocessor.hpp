// The preprocessor of a resource script: #include, object-like #define and #undef,
// #ifdef/#ifndef/#else/#endif, #pragma (ignored), #error. Macros are expanded in what it
// returns. As a Windows resource compiler does, it keeps only the directives of an included .h
// or .c file and drops its other text (C declarations).
#pragma once

#include "token.hpp"

#include <filesystem>
#include <map>
#include <set>
#include <vector>

namespace velorin::rc {

class Preprocessor {
public:
    explicit Preprocessor(std::vector<std::filesystem::path> includeDirs = {});

    // The tokens of `script` and of what it includes, ending with one End token.
    std::vector<Token> run(const std::filesystem::path& script);
    // Every file read, the script first, for a dependency file.
    const std::vector<std::filesystem::path>& filesRead() const { return m_filesRead; }
    bool defined(const std::string& name) const { return m_macros.count(name) != 0; }

private:
    struct Macro {
        std::vector<Token> body;
        SourceLocation where;
    };
    struct Conditional {
        bool enclosingActive;
        bool active;
        bool seenElse;
        SourceLocation where;
    };

    void processFile(const std::filesystem::path& file, const SourceLocation* includedFrom, std::vector<Token>& out);
    void directive(const Token& line, const std::filesystem::path& file, std::vector<Conditional>& conditions,
                   std::vector<Token>& out);
    void expand(const Token& token, const SourceLocation& where, std::set<std::string>& expanding,
                std::vector<Token>& out) const;
    std::filesystem::path findInclude(const std::string& name, bool angled, const std::filesystem::path& from,
                                      const SourceLocation& where) const;

    std::vector<std::filesystem::path> m_includeDirs;
    std::map<std::string, Macro> m_macros;
    std::vector<std::filesystem::path> m_filesRead;
    int m_depth = 0;
};

}  // namespace velorin::rc
