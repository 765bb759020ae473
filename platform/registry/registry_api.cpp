// The registry functions of the system library.
#include "boot/device.hpp"
#include "registry/atomic_file.hpp"
#include "registry/reg_call.hpp"
#include "registry/registry.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

using namespace velorin;
using namespace velorin::registry;

namespace {

// What a call needs: the kernel lock, the registry, and the key the HKEY names.
struct Locked {
    kernel::Kernel& kernel = kernel::Kernel::current();
    std::lock_guard<kernel::DeviceMutex> lock{kernel.mutex()};
    Registry& registry = kernel.device().registry();
};

std::wstring_view textOr(LPCWSTR text)
{
    return text ? std::wstring_view(text) : std::wstring_view();
}

// A name the device can keep: no longer than CE allows, and one its registry file can hold.
bool acceptableName(std::wstring_view name)
{
    return name.size() <= kMaxNameLength && savableName(name);
}

// A sub-key's path as the system reads it: relative, so a leading back-slash is refused, and
// trailing back-slashes are ignored however many there are.
std::optional<std::vector<std::wstring>> subKeyNames(LPCWSTR subKey)
{
    std::wstring_view path = textOr(subKey);
    if (path.starts_with(L'\\'))
        return std::nullopt;
    while (path.ends_with(L'\\'))
        path.remove_suffix(1);
    return splitKeyPath(path);
}

// Copies a name with its NUL into a buffer of *count characters; *count becomes its length.
DWORD copyName(const std::wstring& name, LPWSTR buffer, LPDWORD count)
{
    if (!buffer || !count)
        return ERROR_INVALID_PARAMETER;
    if (*count < name.size() + 1)
        return ERROR_MORE_DATA;
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = L'\0';
    *count = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// The bytes that RegSetValueExW stores. A string whose size leaves out its terminating NUL gets
// one, as Windows gives it to a caller who counted only the characters; Windows takes that NUL
// from the memory past the given size, which the device never reads.
std::vector<BYTE> storedBytes(DWORD type, const BYTE* data, DWORD size)
{
    std::vector<BYTE> bytes(data, data + size);
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ;
    const auto last = bytes.end() - std::min<std::ptrdiff_t>(size, sizeof(WCHAR));
    if (text && size >= sizeof(WCHAR) && std::any_of(last, bytes.end(), [](BYTE b) { return b != 0; }))
        bytes.insert(bytes.end(), sizeof(WCHAR), 0);
    return bytes;
}

// Data out as RegQueryValueExW gives them: the size always, the bytes only when they fit. The
// room is read before anything is written, as a caller may give one variable for type and size.
DWORD copyData(const Value& value, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    const DWORD room = size ? *size : 0;
    if (type)
        *type = value.type;
    const auto needed = static_cast<DWORD>(value.data.size());
    if (!size)
        return ERROR_SUCCESS;
    *size = needed;
    if (!data)
        return ERROR_SUCCESS;
    if (room < needed)
        return ERROR_MORE_DATA;
    if (needed != 0)
        std::memcpy(data, value.data.data(), needed);
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult)
{
    if (phkResult)
        *phkResult = nullptr;
    return regCall(
        "RegOpenKeyExW", ERROR_FILE_NOT_FOUND,
        [&]() -> DWORD {
            if (!phkResult)
                return ERROR_INVALID_PARAMETER;
            Locked call;
            DWORD error = ERROR_SUCCESS;
            const auto from = call.registry.keyLocked(hKey, error);
            if (!from)
                return error;
            const auto names = subKeyNames(lpSubKey);
            if (!names)
                return ERROR_BAD_PATHNAME;
            auto key = findKey(from, *names);
            if (!key)
                return ERROR_FILE_NOT_FOUND;
            *phkResult = call.registry.handlesLocked().add(std::move(key), call.kernel.scheduler().currentProcess());
            return ERROR_SUCCESS;
        },
        hKey, lpSubKey, ulOptions, samDesired, phkResult);
}

LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                     LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (phkResult)
        *phkResult = nullptr;
    return regCall(
        "RegCreateKeyExW", ERROR_ACCESS_DENIED,
        [&]() -> DWORD {
            if (!phkResult)
                return ERROR_INVALID_PARAMETER;
            Locked call;
            DWORD error = ERROR_SUCCESS;
            const auto from = call.registry.keyLocked(hKey, error);
            if (!from)
                return error;
            const auto names = subKeyNames(lpSubKey);
            if (!names)
                return ERROR_BAD_PATHNAME;
            if (!std::all_of(names->begin(), names->end(), [](const std::wstring& name) { return acceptableName(name); }))
                return ERROR_INVALID_PARAMETER;
            CreatedKey key = call.registry.createLocked(from, *names);
            *phkResult =
                call.registry.handlesLocked().add(std::move(key.key), call.kernel.scheduler().currentProcess());
            if (lpdwDisposition)
                *lpdwDisposition = key.created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
            return ERROR_SUCCESS;
        },
        hKey, lpSubKey, Reserved, static_cast<LPCWSTR>(lpClass), dwOptions, samDesired, lpSecurityAttributes, phkResult,
        lpdwDisposition);
}

LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData)
{
    return regCall(
        "RegQueryValueExW", ERROR_FILE_NOT_FOUND,
        [&]() -> DWORD {
            if (lpReserved || (lpData && !lpcbData))
                return ERROR_INVALID_PARAMETER;
            Locked call;
            DWORD error = ERROR_SUCCESS;
            const auto key = call.registry.keyLocked(hKey, error);
            if (!key)
                return error;
            const Value* value = key->value(textOr(lpValueName));
            if (!value) {
                // A caller asking for the size alone is told none; a buffer's room is left as given.
                if (!lpData && lpcbData)
                    *lpcbData = 0;
                return ERROR_FILE_NOT_FOUND;
            }
            return copyData(*value, lpType, lpData, lpcbData);
        },
        hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}

LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    return regCall(
        "RegSetValueExW", ERROR_ACCESS_DENIED,
        [&]() -> DWORD {
            // Data that are not there cannot be read, as the system finds reading them.
            if (!lpData && cbData != 0)
                return ERROR_NOACCESS;
            // What the device cannot keep is refused: names too long or with line breaks, strings
            // that are not whole characters.
            if ((isStringType(dwType) && cbData % sizeof(WCHAR) != 0) || !acceptableName(textOr(lpValueName)))
                return ERROR_INVALID_PARAMETER;
            Locked call;
            DWORD error = ERROR_SUCCESS;
            const auto key = call.registry.keyLocked(hKey, error);
            if (!key)
                return error;
            Value value{std::wstring(textOr(lpValueName)), dwType, storedBytes(dwType, lpData, cbData)};
            call.registry.setValueLocked(*key, std::move(value));
            return ERROR_SUCCESS;
        },
        hKey, lpValueName, Reserved, dwType, lpData, cbData);
}

LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName)
{
    return regCall(
        "RegDeleteValueW", ERROR_FILE_NOT_FOUND,
        [&]() -> DWORD {
            Locked call;
            DWORD error = ERROR_SUCCESS;
            const auto key = call.registry.keyLocked(hKey, error);
            if (!key)
                return error;
            return call.registry.deleteValueLocked(*key, textOr(lpValueName)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        },
        hKey, lpValueName);
}

LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey)
{
    return regCall(
        "RegDeleteKeyW", ERROR_ACCESS_DENIED,
        [&]() -> DWORD {
            Locked call;
            DWORD error = ERROR_SUCCESS;
            const auto from = call.registry.keyLocked(hKey, error);
            if (!from)
                return error;
            const auto names = subKeyNames(lpSubKey);
            if (!names)
                return ERROR_BAD_PATHNAME;
            if (names->empty())
                return ERROR_INVALID_PARAMETER;
            return call.registry.deleteKeyLocked(from, *names) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        },
        hKey, lpSubKey);
}

LONG RegCloseKey(HKEY hKey)
{
    return regCall(
        "RegCloseKey", ERROR_INVALID_HANDLE,
        [&]() -> DWORD {
            if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER)
                return ERROR_SUCCESS;
            Locked call;
            return call.registry.handlesLocked().close(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
        },
        hKey);
}

LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPWSTR lpClass,
                   LPDWORD lpcchClass, PFILETIME lpftLastWriteTime)
{
    return regCall(
        "RegEnumKeyExW", ERROR_NO_MORE_ITEMS,
        [&]() -> DWORD {
            if (lpReserved)
                return ERROR_INVALID_PARAMETER;
            Locked call;
            DWORD error = ERROR_SUCCESS;
            const auto key = call.registry.keyLocked(hKey, error);
            if (!key)
                return error;
            if (dwIndex >= key->children().size())
                return ERROR_NO_MORE_ITEMS;
            const auto& child = std::next(key->children().begin(), dwIndex)->second;
            error = copyName(child->name(), lpName, lpcchName);
            if (error != ERROR_SUCCESS)
                return error;
            // Keys have no class, and the device keeps no write times.
            if (lpClass && lpcchClass && *lpcchClass > 0)
                lpClass[0] = L'\0';
            if (lpcchClass)
                *lpcchClass = 0;
            if (lpftLastWriteTime)
                *lpftLastWriteTime = FILETIME{0, 0};
            return ERROR_SUCCESS;
        },
        hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass, lpftLastWriteTime);
}

LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    return regCall(
        "RegEnumValueW", ERROR_NO_MORE_ITEMS,
        [&]() -> DWORD {
            if (lpReserved || !lpValueName || !lpcchValueName || (lpData && !lpcbData))
                return ERROR_INVALID_PARAMETER;
            Locked call;
            DWORD error = ERROR_SUCCESS;
            const auto key = call.registry.keyLocked(hKey, error);
            if (!key)
                return error;
            if (dwIndex >= key->values().size())
                return ERROR_NO_MORE_ITEMS;
            const Value& value = std::next(key->values().begin(), dwIndex)->second;
            // As Windows: a name that does not fit leaves the name, its length and the data as they
            // were; a name that fits is written even when the data does not. The type and the
            // data's size are told either way.
            if (*lpcchValueName < value.name.size() + 1) {
                copyData(value, lpType, nullptr, lpcbData);
                return ERROR_MORE_DATA;
            }
            error = copyName(value.name, lpValueName, lpcchValueName);
            if (error != ERROR_SUCCESS)
                return error;
            return copyData(value, lpType, lpData, lpcbData);
        },
        hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType, lpData, lpcbData);
}

LONG RegFlushKey(HKEY hKey)
{
    return regCall(
        "RegFlushKey", ERROR_GEN_FAILURE,
        [&]() -> DWORD {
            Locked call;
            DWORD error = ERROR_SUCCESS;
            if (!call.registry.keyLocked(hKey, error))
                return error;
            try {
                call.registry.saveLocked();
            } catch (const FileSaveError&) {
                return ERROR_GEN_FAILURE;
            }
            return ERROR_SUCCESS;
        },
        hKey);
}
