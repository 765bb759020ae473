/* The device's registry, by the system's names. Keys and value names compare without regard to
   case and keep the case they were first written with; access masks are accepted and not
   enforced, as on CE. Every function returns ERROR_SUCCESS or the error code as its result. */
#ifndef VELORIN_REGISTRY_WINREG_H
#define VELORIN_REGISTRY_WINREG_H

#include "kernel/windef.h"
#include "kernel/winerror.h"

struct HKEY__ { int unused; };
typedef struct HKEY__ *HKEY;
typedef HKEY *PHKEY;
typedef DWORD REGSAM;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME;

/* The predefined roots, with the values (sign-extended) that the system gives them. */
#define HKEY_CURRENT_USER ((HKEY)(LONG_PTR)(LONG)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(LONG_PTR)(LONG)0x80000002)

/* Value types. */
#define REG_NONE 0U
#define REG_SZ 1U
#define REG_EXPAND_SZ 2U
#define REG_BINARY 3U
#define REG_DWORD 4U
#define REG_DWORD_LITTLE_ENDIAN 4U
#define REG_DWORD_BIG_ENDIAN 5U
#define REG_LINK 6U
#define REG_MULTI_SZ 7U
#define REG_RESOURCE_LIST 8U
#define REG_FULL_RESOURCE_DESCRIPTOR 9U
#define REG_RESOURCE_REQUIREMENTS_LIST 10U
#define REG_QWORD 11U

/* Access masks: accepted, not enforced, as on CE (desktop Windows refuses a write through a key
   opened for reading). */
#define KEY_QUERY_VALUE 0x0001U
#define KEY_SET_VALUE 0x0002U
#define KEY_CREATE_SUB_KEY 0x0004U
#define KEY_ENUMERATE_SUB_KEYS 0x0008U
#define KEY_NOTIFY 0x0010U
#define KEY_CREATE_LINK 0x0020U
#define KEY_READ 0x20019U
#define KEY_WRITE 0x20006U
#define KEY_EXECUTE KEY_READ
#define KEY_ALL_ACCESS 0xF003FU

#define REG_OPTION_NON_VOLATILE 0U
#define REG_OPTION_VOLATILE 1U

/* RegCreateKeyExW's disposition. */
#define REG_CREATED_NEW_KEY 1U
#define REG_OPENED_EXISTING_KEY 2U

#ifdef __cplusplus
extern "C" {
#endif

/* When the fault plan fails a call, it returns (and leaves as the last error) the plan's error
   or the function's own: RegOpenKeyExW, RegQueryValueExW, RegDeleteValueW ERROR_FILE_NOT_FOUND;
   RegCreateKeyExW, RegSetValueExW, RegDeleteKeyW ERROR_ACCESS_DENIED; RegCloseKey
   ERROR_INVALID_HANDLE; RegEnumKeyExW, RegEnumValueW ERROR_NO_MORE_ITEMS; RegFlushKey
   ERROR_GEN_FAILURE. A failed open or create leaves *phkResult NULL. */

LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
/* Key and value names with a line break are refused (ERROR_INVALID_PARAMETER), since the hive
   could not be saved with them, and so are names longer than CE's 255 characters. A sub-key path
   may not start with a back-slash (ERROR_BAD_PATHNAME); trailing ones are ignored. */
LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                     LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition);
/* Sizes are in bytes. A buffer too small gets ERROR_MORE_DATA, the needed size and the type,
   and is left as it was. String types hold whole WCHARs, the terminating NUL included. */
LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
/* String types must be whole WCHARs (ERROR_INVALID_PARAMETER otherwise); a size without data is
   ERROR_NOACCESS. */
LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);
/* Deletes the sub-key with everything below it, as CE does. */
LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
LONG RegCloseKey(HKEY hKey);
/* Sub-keys and values are enumerated in name order, compared without regard to case (the
   default value first); name lengths are in characters without the NUL. */
LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPWSTR lpClass,
                   LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
/* Writes the whole hive to the device's registry file, when it has one. */
LONG RegFlushKey(HKEY hKey);

#ifdef __cplusplus
}
#endif

#endif
