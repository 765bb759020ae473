// The resource compiler as a library: a script and the files it names in, a .res file out.
#pragma once

#include "script.hpp"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace velorin::rc {

struct CompileOptions {
    std::vector<std::filesystem::path> includeDirs;  // for #include <...> and the files named
};

struct CompileResult {
    std::vector<std::uint8_t> res;
    std::vector<std::filesystem::path> inputs;  // every file read, the script first
};

// Throws RcError ("file:line: problem") for anything wrong in the script or the files it names.
CompileResult compile(const std::filesystem::path& script, const CompileOptions& options = {});

// The .res bytes of an already parsed script.
std::vector<std::uint8_t> writeRes(const Script& script);

}  // namespace velorin::rc
