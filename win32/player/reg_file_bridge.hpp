// The device's .reg file reader and writer, for the player: the same parser prepares Wine's
// registry as boots the device, so a file is read alike (and refused alike, with its line) in
// both. Only plain types cross this header, since the device's own system headers and the real
// Windows headers cannot meet in one file.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace velorin::wine {

struct RegFileValue {
    std::wstring name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;  // strings in UTF-16, as the system stores them
};

struct RegFileKey {
    bool localMachine = false;  // HKEY_LOCAL_MACHINE, otherwise HKEY_CURRENT_USER
    std::wstring path;          // below the root; "" is the root itself
    std::vector<RegFileValue> values;
};

struct RegFileContents {
    std::vector<RegFileKey> keys;  // every key the file names, parents first
    int encoding = 0;              // how the file was written, to write it back alike
};

// Throws std::runtime_error with "file:line: what is wrong".
RegFileContents readRegistryFile(const std::string& bytes, const std::string& fileName);
std::string formatRegistryFile(const RegFileContents& contents);

}  // namespace velorin::wine
