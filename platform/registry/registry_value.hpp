// One registry value, and the forms in which trace lines and messages show it.
#pragma once

#include "registry/winreg.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velorin::registry {

enum class Root { CurrentUser, LocalMachine };

// "HKCU" / "HKLM", as trace lines print a root.
std::string_view rootName(Root root);
// "HKEY_CURRENT_USER" / "HKEY_LOCAL_MACHINE", as .reg files spell it.
std::wstring_view rootFullName(Root root);

struct Value {
    std::wstring name;  // as first written; "" is the key's default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;  // as a program stores it: strings in whole WCHARs
    bool operator==(const Value&) const = default;
};

// Whether a key or value name can be written to a .reg file: it has no line break.
bool savableName(std::wstring_view name);

// REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ, whose data are WCHARs.
bool isStringType(DWORD type);

std::vector<BYTE> wideBytes(std::wstring_view text);
// The WCHARs of string data; a trailing partial WCHAR is dropped.
std::wstring wideText(const std::vector<BYTE>& data);

Value dwordValue(std::wstring name, DWORD value);
// The text with its terminating NUL.
Value stringValue(std::wstring name, std::wstring_view text, DWORD type = REG_SZ);

// The number of a REG_DWORD of 4 bytes.
std::optional<DWORD> dwordOf(const Value& value);
// The text of a REG_SZ or REG_EXPAND_SZ, up to its first NUL.
std::optional<std::wstring> textOf(const Value& value);

// The data as `dword:<unsigned decimal>`, `sz:"<text>"`, `expand_sz:"<text>"`,
// `multi_sz:"<a>","<b>"`, `qword:<n>`, `hex:<bytes>` (REG_BINARY) or `hex(<type>):<bytes>`.
std::string describeData(const Value& value);
// A value name as a trace line prints it: bare, or quoted when it is empty (the default
// value) or has blanks, quotes or control characters.
std::string describeName(std::wstring_view name);

}  // namespace velorin::registry
