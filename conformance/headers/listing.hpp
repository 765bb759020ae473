// Declarations as lines that people read and the comparison matches: "constant WM_PAINT = 15",
// "field MSG.lParam offset 24 size 8 align 8 int64", "function PostMessageW int32(...)".
#pragma once

#include "conformance/headers/declaration.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velorin::conformance {

struct Line {
    std::string kind;
    std::string name;
    std::int64_t numbers[3] = {};
    std::string shape;
    // How the line read before its layout was given a 2-byte WCHAR; empty when unchanged.
    std::string asCompiled;

    std::string key() const { return kind + " " + name; }
    std::string value() const;
    // The name a declaration is known by in the headers: a field's record, a macro's name.
    std::string declarationName() const;
};

std::vector<Line> linesOf(std::span<const Declaration> declarations);

// The declarations that the Windows build read out of an object file; nullopt when the file is
// missing. Throws std::runtime_error when it is not a whole number of declarations.
std::optional<std::vector<Line>> readDeclarationFile(const std::filesystem::path& file);

// The device's WCHAR is 4 bytes and Windows' 2, so a record that holds WCHAR text is laid out
// again from its fields as it would be with a 2-byte WCHAR, which is what Windows' headers give.
// Each record's fields must all be listed, in order: a record whose listed fields do not give
// its compiled layout is reported in `problems` (and left as compiled).
struct WcharLayout {
    std::vector<Line> lines;
    std::vector<std::string> problems;
};
WcharLayout withTwoByteWchar(std::vector<Line> lines);

}  // namespace velorin::conformance
