// Bad scenario input, told as "file:line: reason".
#pragma once

#include <stdexcept>
#include <string>

namespace velorin::sim {

struct SourceLocation {
    std::string file;
    int line = 0;  // 0 when the problem concerns the whole file
};

// Bad scenario input; what() is "file:line: reason" (or "file: reason" without a line).
class ScenarioError : public std::runtime_error {
public:
    ScenarioError(SourceLocation where, const std::string& reason);

    const SourceLocation& location() const noexcept { return where_; }
    const std::string& reason() const noexcept { return reason_; }

private:
    SourceLocation where_;
    std::string reason_;
};

}  // namespace velorin::sim
