/* Kernel services of the device: threads, events, waits, time, last error and modules. */
#ifndef VELORIN_KERNEL_WINBASE_H
#define VELORIN_KERNEL_WINBASE_H

#include "kernel/windef.h"
#include "kernel/winerror.h"

#define INFINITE 0xFFFFFFFFU
#define WAIT_OBJECT_0 0U
#define WAIT_ABANDONED 0x80U
#define WAIT_TIMEOUT 258U
#define WAIT_FAILED 0xFFFFFFFFU
#define MAXIMUM_WAIT_OBJECTS 64U
#define STILL_ACTIVE 259U

/* EventModify operations. */
#define EVENT_PULSE 1U
#define EVENT_RESET 2U
#define EVENT_SET 3U

#define EVENT_ALL_ACCESS 0x001F0003U
#define SYNCHRONIZE 0x00100000U

/* LocalAlloc flags. */
#define LMEM_FIXED 0x0000U
#define LMEM_ZEROINIT 0x0040U
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

#ifdef __cplusplus
extern "C" {
#endif

typedef DWORD (WINAPI *LPTHREAD_START_ROUTINE)(LPVOID);

HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpsa, DWORD cbStack, LPTHREAD_START_ROUTINE lpStartAddr,
                    LPVOID lpvThreadParam, DWORD fdwCreate, LPDWORD lpIDThread);
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
DWORD GetCurrentThreadId(void);
DWORD GetCurrentProcessId(void);
BOOL CloseHandle(HANDLE hObject);

typedef struct _STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOW, *LPSTARTUPINFOW;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

/* CE's form: the image name is required, and the attributes, inheritance, environment, folder
   and start-up record are not supported (accepted and ignored). */
BOOL CreateProcessW(LPCWSTR pszImageName, LPCWSTR pszCmdLine, LPSECURITY_ATTRIBUTES psaProcess,
                    LPSECURITY_ATTRIBUTES psaThread, BOOL fInheritHandles, DWORD fdwCreate, LPVOID pvEnvironment,
                    LPWSTR pszCurDir, LPSTARTUPINFOW psiStartInfo, LPPROCESS_INFORMATION pProcInfo);
BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState, LPCWSTR lpName);
HANDLE OpenEventW(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCWSTR lpName);
BOOL EventModify(HANDLE hEvent, DWORD func);
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);
BOOL PulseEvent(HANDLE hEvent);

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE *lpHandles, BOOL fWaitAll, DWORD dwMilliseconds);
void Sleep(DWORD dwMilliseconds);
DWORD GetTickCount(void);

DWORD GetLastError(void);
void SetLastError(DWORD dwErrCode);

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes);
/* Null when freed; the block itself when it is not one of the caller's. */
HLOCAL LocalFree(HLOCAL hMem);

HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
FARPROC GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);
DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);

#ifdef __cplusplus
}
#endif

#endif
