// A .reg file's keys written into the system's registry, and their values read back from it and
// saved as the device saves its hive.
#include "registry_file.hpp"

#include "platform/registry/atomic_file.hpp"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velorin::wine {

namespace {

HKEY rootOf(const RegFileKey& key)
{
    return key.localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The values a key holds now in the system's registry; none when it is gone.
std::vector<RegFileValue> currentValues(const RegFileKey& entry)
{
    std::vector<RegFileValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(rootOf(entry), entry.path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::vector<std::uint8_t> data(size);
        nameLength = 16384;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        data.resize(size);
        values.push_back(RegFileValue{std::wstring(name, nameLength), type, std::move(data)});
    }
    RegCloseKey(key);
    return values;
}

}  // namespace

bool loadRegistryFile(const std::wstring& path, const std::string& name, RegFileContents& contents, std::string& why)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) {
        why = name + ": cannot read the file";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    try {
        contents = readRegistryFile(bytes.str(), name);
    } catch (const std::runtime_error& e) {
        why = e.what();
        return false;
    }
    for (const RegFileKey& entry : contents.keys) {
        if (entry.path.empty())
            continue;
        HKEY key = nullptr;
        if (RegCreateKeyExW(rootOf(entry), entry.path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            why = name + ": the system's registry refused a key";
            return false;
        }
        for (const RegFileValue& value : entry.values)
            RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        RegCloseKey(key);
    }
    return true;
}

bool saveRegistryFile(const std::wstring& path, RegFileContents contents, std::string& why)
{
    for (RegFileKey& entry : contents.keys) {
        if (!entry.path.empty())
            entry.values = currentValues(entry);
    }
    // Saved as the device saves its hive: a kill or a power loss leaves the old file or the new one.
    try {
        registry::replaceFileAtomically(std::filesystem::path(path), formatRegistryFile(contents));
    } catch (const registry::FileSaveError& e) {
        why = e.what();
        return false;
    }
    return true;
}

}  // namespace velorin::wine
