// Replacing a file so that a crash at any moment leaves the old file or the new one whole.
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace velorin::registry {

class FileSaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Asked before each step ("create", "write", "flush", "rename", "syncdir"); true makes the step
// fail as if the system had refused it. A refused write first writes half the bytes, as a
// crash in the middle would.
using SaveStepCheck = std::function<bool(std::string_view step)>;

// Writes `bytes` to "<file>.tmp" in the same folder, flushes it to disk, renames it over
// `file` (or over the file it links to, keeping the link) and flushes the folder. On an error
// before the rename the old file stays and the temporary one is removed; throws FileSaveError
// naming the file, the step and why.
void replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           const SaveStepCheck& failStep = {});

}  // namespace velorin::registry
