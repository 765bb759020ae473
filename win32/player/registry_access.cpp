// The reg lines carried out on the system's registry, and values described as the device's trace
// describes them.
#include "registry_access.hpp"

#include "text.hpp"

#include <windows.h>

#include <cstring>
#include <variant>
#include <vector>

namespace velorin::wine {

namespace {

HKEY rootOf(sim::RegRoot root)
{
    return root == sim::RegRoot::HKLM ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::string describe(DWORD type, const std::vector<BYTE>& data)
{
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, data.data(), sizeof number);
        return "dword:" + std::to_string(number);
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        return "sz:\"" + narrow(text) + "\"";
    }
    return "a value of type " + std::to_string(type) + " and " + std::to_string(data.size()) + " bytes";
}

std::string describe(const sim::RegValue& value)
{
    if (const auto* number = std::get_if<std::uint32_t>(&value.data))
        return "dword:" + std::to_string(*number);
    return "sz:\"" + std::get<std::string>(value.data) + "\"";
}

}  // namespace

void setValue(const sim::RegSetCommand& command)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(rootOf(command.root), widen(command.path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    const std::wstring name = widen(command.name);
    if (const auto* number = std::get_if<std::uint32_t>(&command.value.data)) {
        const DWORD value = *number;
        RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    } else {
        const std::wstring text = widen(std::get<std::string>(command.value.data));
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

void deleteValueOrKey(const sim::RegDeleteCommand& command)
{
    // Deleting what is not there changes nothing, as on the device.
    const std::wstring path = widen(command.path);
    if (!command.name) {
        RegDeleteTreeW(rootOf(command.root), path.c_str());
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(rootOf(command.root), path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, widen(*command.name).c_str());
    RegCloseKey(key);
}

std::optional<std::string> checkValue(const sim::ExpectRegCommand& command)
{
    const std::string keyName = std::string(sim::regRootName(command.root)) + "\\" + command.path;
    HKEY key = nullptr;
    if (RegOpenKeyExW(rootOf(command.root), widen(command.path).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        if (!command.value)
            return std::nullopt;
        return "the key " + keyName + " does not exist";
    }
    const std::wstring name = widen(command.name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    std::vector<BYTE> data;
    LONG read = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (read == ERROR_SUCCESS) {
        data.resize(size);
        read = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    const std::string valueName = keyName + " \"" + command.name + "\"";
    if (read != ERROR_SUCCESS)
        return command.value ? std::optional<std::string>(valueName + " is absent") : std::nullopt;
    if (!command.value)
        return valueName + " is " + describe(type, data) + ", not absent";
    const std::string actual = describe(type, data);
    if (actual == describe(*command.value))
        return std::nullopt;
    return valueName + " is " + actual + ", not " + describe(*command.value);
}

}  // namespace velorin::wine
