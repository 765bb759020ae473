// The files a run reads and writes: each writable before the run starts, and no two the same.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velorin::sim {

// A file or folder of the run, by the option that names it.
struct NamedPath {
    std::string option;  // "--trace-file", or what names a default: "the demo's GIF"
    std::string path;
    bool written = false;
};

// A file that the run writes at its end must be writable before the run starts.
std::optional<std::string> checkWritable(const std::string& file, const std::string& what);

// The registry file's problems that its reader would misreport: a directory, nowhere to save.
std::optional<std::string> checkRegistryFile(const std::string& file);

// Two of `paths` that are one file (by name, link or symlink) where the run writes at least one
// of them: the text that names both; nothing when each has its own.
std::optional<std::string> findPathClash(const std::vector<NamedPath>& paths);

}  // namespace velorin::sim
