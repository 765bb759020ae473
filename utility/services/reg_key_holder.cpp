// Opening, reading, writing and closing the holder's one registry key.
#include "services/reg_key_holder.h"

#include <algorithm>

void RegKeyHolder::OpenForRead(HKEY root, LPCWSTR path)
{
    // Reopening would otherwise lose the key already held.
    Close();
    RegOpenKeyExW(root, path, 0, KEY_READ, &m_hKey);
}

void RegKeyHolder::OpenForReadWrite(HKEY root, LPCWSTR path)
{
    Close();
    RegOpenKeyExW(root, path, 0, KEY_READ | KEY_WRITE, &m_hKey);
}

bool RegKeyHolder::OpenOrCreate(HKEY root, LPCWSTR path)
{
    Close();
    DWORD disposition = 0;
    return RegCreateKeyExW(root, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &m_hKey, &disposition) == ERROR_SUCCESS;
}

DWORD RegKeyHolder::ReadDword(LPCWSTR name, DWORD defaultValue)
{
    if (!m_hKey)
        return 0;
    // Whatever the call leaves in place of the default is the answer: a missing value keeps the
    // default whole, a shorter one replaces only its low bytes.
    DWORD value = defaultValue;
    DWORD size = sizeof value;
    RegQueryValueExW(m_hKey, name, NULL, NULL, reinterpret_cast<LPBYTE>(&value), &size);
    return value;
}

bool RegKeyHolder::ReadString(LPCWSTR name, WCHAR* buffer, DWORD capacity)
{
    if (!m_hKey)
        return false;
    // The buffer starts as empty text: the registry gives a string's bytes as stored, so one
    // stored without its NUL still ends within the buffer when it leaves room for one.
    std::fill(buffer, buffer + capacity, L'\0');
    DWORD size = capacity * sizeof(WCHAR);
    // No type is asked for: whatever the value's type, its bytes are read as text.
    const bool read =
        RegQueryValueExW(m_hKey, name, NULL, NULL, reinterpret_cast<LPBYTE>(buffer), &size) == ERROR_SUCCESS;
    // Characters that fill the whole buffer with no NUL must not pass for text: a reader would
    // run past the buffer looking for its end.
    const bool terminated = std::find(buffer, buffer + capacity, L'\0') != buffer + capacity;
    if (read && terminated)
        return true;
    if (capacity > 0)
        buffer[0] = L'\0';
    return false;
}

bool RegKeyHolder::WriteDword(LPCWSTR name, DWORD value)
{
    if (!m_hKey)
        return false;
    return RegSetValueExW(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

void RegKeyHolder::Close()
{
    if (m_hKey)
        RegCloseKey(m_hKey);
    if (m_pBuffer)
        LocalFree(m_pBuffer);
    m_hKey = NULL;
    m_reserved = 0;
    m_pBuffer = NULL;
}
