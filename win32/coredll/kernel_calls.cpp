// CE's kernel calls that desktop Win32 has under other names.
#include <windows.h>

#include <string>

BOOL WINAPI EventModify(HANDLE hEvent, DWORD func)
{
    switch (func) {
    case EVENT_SET:
        return SetEvent(hEvent);
    case EVENT_RESET:
        return ResetEvent(hEvent);
    case EVENT_PULSE:
        return PulseEvent(hEvent);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

FARPROC WINAPI GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName)
{
    // An ordinal passes as it is; a name is ASCII, as export names are.
    if (IS_INTRESOURCE(lpProcName))
        return GetProcAddress(hModule, reinterpret_cast<LPCSTR>(lpProcName));
    std::string name;
    for (const wchar_t* c = lpProcName; *c; ++c) {
        if (*c > 0x7F) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        name += static_cast<char>(*c);
    }
    return GetProcAddress(hModule, name.c_str());
}
