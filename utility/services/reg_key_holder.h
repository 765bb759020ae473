// The scoped holder of one open registry key; every registry access of the utility goes
// through one, and the key is closed on every path out of the operation that declares it.
#ifndef VELORIN_SERVICES_REG_KEY_HOLDER_H
#define VELORIN_SERVICES_REG_KEY_HOLDER_H

#include <windows.h>

class RegKeyHolder {
public:
    RegKeyHolder() : m_hKey(NULL), m_reserved(0), m_pBuffer(NULL) {}
    ~RegKeyHolder() { Close(); }

    // The outcome is not reported: on failure no key is open.
    void OpenForRead(HKEY root, LPCWSTR path);
    // For a key that is read and written back. CE does not enforce access masks, so there a
    // read handle would do; a registry that does (desktop Windows) refuses writes through one.
    void OpenForReadWrite(HKEY root, LPCWSTR path);
    // Creates a missing key; true when the key is open.
    bool OpenOrCreate(HKEY root, LPCWSTR path);

    // 0 with no key open; `defaultValue` when the value is missing or not 4 bytes long.
    DWORD ReadDword(LPCWSTR name, DWORD defaultValue);
    // A string value, its text ending at the first NUL within `capacity` characters (a value
    // stored without its NUL reads as its characters when they leave room for one). With no key
    // the buffer is left alone; on any other failure (no value, not a string, no NUL within the
    // buffer) it holds empty text.
    bool ReadString(LPCWSTR name, WCHAR* buffer, DWORD capacity);
    bool WriteDword(LPCWSTR name, DWORD value);

    void Close();

    HKEY m_hKey;
    LONG m_reserved;
    HLOCAL m_pBuffer;

private:
    RegKeyHolder(const RegKeyHolder&);
    RegKeyHolder& operator=(const RegKeyHolder&);
};

#endif
