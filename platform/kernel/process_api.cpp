// Processes: starting an installed program and reading how a process ended.
#include "kernel/api_call.hpp"
#include "kernel/exit_code.hpp"
#include "kernel/winbase.h"

using namespace velorin::kernel;

BOOL CreateProcessW(LPCWSTR pszImageName, LPCWSTR pszCmdLine, LPSECURITY_ATTRIBUTES psaProcess,
                    LPSECURITY_ATTRIBUTES psaThread, BOOL fInheritHandles, DWORD fdwCreate, LPVOID pvEnvironment,
                    LPWSTR pszCurDir, LPSTARTUPINFOW psiStartInfo, LPPROCESS_INFORMATION pProcInfo)
{
    return platformCall(
        "CreateProcessW", FALSE, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> BOOL {
            // CE finds the program by its image name alone; the command line is only passed on.
            if (!pszImageName) {
                setLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            const InstalledImage* image = k.imagesLocked().find(pszImageName);
            if (!image) {
                setLastError(ERROR_FILE_NOT_FOUND);
                return FALSE;
            }
            const StartedProcess started = k.createProcessLocked(*image, pProcInfo != nullptr);
            if (pProcInfo)
                *pProcInfo = PROCESS_INFORMATION{started.process, started.thread, started.pid, started.mainThread};
            return TRUE;
        },
        pszImageName, pszCmdLine, psaProcess, psaThread, fInheritHandles, fdwCreate, pvEnvironment, pszCurDir,
        psiStartInfo, pProcInfo);
}

BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode)
{
    return platformCall(
        "GetExitCodeProcess", FALSE, ERROR_INVALID_HANDLE,
        [&] { return readExitCode<ProcessObject>(hProcess, ObjectKind::Process, lpExitCode); },
        hProcess, lpExitCode);
}
