// The registry's files: "Windows Registry Editor Version 5.00" (UTF-16LE with a BOM, or
// UTF-8 with or without one) and "REGEDIT4" (UTF-8, or ANSI read as Latin-1) are read; files
// are written in the 5.00 form, CRLF lines, every key in name order with its values in name
// order, so that a file written here reads back and writes out byte for byte the same.
#pragma once

#include "registry/hive.hpp"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velorin::registry {

enum class RegFileEncoding {
    Utf16Le,  // with a BOM, as the system's editor writes
    Utf8,
    Utf8Bom,
};

// A file that cannot be read or is malformed; what() is "file:line: what is wrong" (or
// "file: what is wrong" when it concerns no line).
class RegFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct RegFile {
    Hive hive;
    RegFileEncoding encoding = RegFileEncoding::Utf16Le;  // how it was written
};

// The hive that a file describes, built on an empty one. A malformed file is refused as a
// whole with its first problem.
RegFile parseRegFile(std::string_view bytes, const std::string& fileName);
RegFile readRegFile(const std::filesystem::path& file);

std::string formatRegFile(const Hive& hive, RegFileEncoding encoding);

}  // namespace velorin::registry
