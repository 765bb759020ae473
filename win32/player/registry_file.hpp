// The device's persistent hive on the real system: a .reg file loaded into the system's
// registry before the run and saved back from it after, as velorin-sim's --registry does.
#pragma once

#include "reg_file_bridge.hpp"

#include <string>

namespace velorin::wine {

// Loads every key and value of the file; false with the reason (the file's own line for a
// malformed one) and nothing written when it cannot be read.
bool loadRegistryFile(const std::wstring& path, const std::string& name, RegFileContents& contents,
                      std::string& why);
// Writes the file's keys back as the system now holds them, atomically; false with the reason.
bool saveRegistryFile(const std::wstring& path, RegFileContents contents, std::string& why);

}  // namespace velorin::wine
