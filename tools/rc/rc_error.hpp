// Where a token of a resource script came from, and the error that names it.
#pragma once

#include <stdexcept>
#include <string>

namespace velorin::rc {

struct SourceLocation {
    std::string file;
    int line = 0;
};

// what() is "file:line: problem", the form editors and build logs link to.
class RcError : public std::runtime_error {
public:
    RcError(const SourceLocation& where, const std::string& problem)
        : std::runtime_error(where.file + ":" + std::to_string(where.line) + ": " + problem), m_where(where),
          m_problem(problem)
    {
    }
    const SourceLocation& where() const { return m_where; }
    const std::string& problem() const { return m_problem; }

private:
    SourceLocation m_where;
    std::string m_problem;
};

}  // namespace velorin::rc
