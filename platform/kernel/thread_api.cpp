// Threads and handles.
#include "kernel/api_call.hpp"
#include "kernel/exit_code.hpp"
#include "kernel/winbase.h"

using namespace velorin::kernel;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpsa, DWORD cbStack, LPTHREAD_START_ROUTINE lpStartAddr,
                    LPVOID lpvThreadParam, DWORD fdwCreate, LPDWORD lpIDThread)
{
    return platformCall(
        "CreateThread", HANDLE{}, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> HANDLE {
            if (!lpStartAddr) {
                setLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            return k.createThreadLocked(
                "thread", [lpStartAddr, lpvThreadParam] { return lpStartAddr(lpvThreadParam); }, lpIDThread);
        },
        lpsa, cbStack, lpStartAddr, lpvThreadParam, fdwCreate, lpIDThread);
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode)
{
    return platformCall(
        "GetExitCodeThread", FALSE, ERROR_INVALID_HANDLE,
        [&] { return readExitCode<ThreadObject>(hThread, ObjectKind::Thread, lpExitCode); },
        hThread, lpExitCode);
}

DWORD GetCurrentThreadId()
{
    return platformCall("GetCurrentThreadId", DWORD{0}, ERROR_SUCCESS,
                        [] { return Kernel::current().scheduler().currentId(); });
}

DWORD GetCurrentProcessId()
{
    // Not traced and never failed: it cannot fail on the device, and the framework asks it for
    // its per-process bookkeeping, which is not the program's own doing.
    return Kernel::current().scheduler().currentProcess();
}

BOOL CloseHandle(HANDLE hObject)
{
    return platformCall(
        "CloseHandle", FALSE, ERROR_INVALID_HANDLE,
        [&]() -> BOOL {
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            if (!k.handlesLocked().close(hObject)) {
                setLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            k.signalLocked();
            return TRUE;
        },
        hObject);
}
