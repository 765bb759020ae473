// Helpers of the registry tests: registry calls in short.
#pragma once

#include "../support/device_test_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace velorin::test {

inline LONG setDword(HKEY key, LPCWSTR name, DWORD value)
{
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

inline LONG setText(HKEY key, LPCWSTR name, const std::wstring& text, DWORD type = REG_SZ)
{
    return RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

inline LONG queryDword(HKEY key, LPCWSTR name, DWORD& value)
{
    DWORD size = sizeof value;
    return RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size);
}

inline std::wstring queryText(HKEY key, LPCWSTR name)
{
    WCHAR buffer[64] = {};
    DWORD size = sizeof buffer;
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size) != ERROR_SUCCESS)
        return L"<failed>";
    return buffer;
}

inline HKEY createKey(HKEY from, LPCWSTR path, DWORD* disposition = nullptr)
{
    HKEY key = nullptr;
    DWORD ignored = 0;
    const LONG result =
        RegCreateKeyExW(from, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, disposition ? disposition : &ignored);
    EXPECT_EQ(result, static_cast<LONG>(ERROR_SUCCESS)) << "creating a key";
    return key;
}

constexpr LONG kSuccess = ERROR_SUCCESS;

}  // namespace velorin::test
