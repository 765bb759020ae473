// Modules and their exports.
#include "kernel/api_call.hpp"
#include "kernel/winbase.h"

#include <algorithm>
#include <string>

using namespace velorin::kernel;

namespace {
// A name pointer below 64 K is an ordinal, which the device's modules do not export by.
bool isOrdinal(LPCWSTR name)
{
    return reinterpret_cast<std::uintptr_t>(name) < 0x10000;
}
}  // namespace

HMODULE LoadLibraryW(LPCWSTR lpLibFileName)
{
    return platformCall(
        "LoadLibraryW", HMODULE{}, ERROR_MOD_NOT_FOUND,
        [&]() -> HMODULE {
            if (!lpLibFileName || !*lpLibFileName) {
                setLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            HMODULE module = k.modulesLocked().load(lpLibFileName, k.scheduler().currentProcess());
            if (!module)
                setLastError(ERROR_MOD_NOT_FOUND);
            return module;
        },
        lpLibFileName);
}

FARPROC GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName)
{
    return platformCall(
        "GetProcAddressW", FARPROC{}, ERROR_PROC_NOT_FOUND,
        [&]() -> FARPROC {
            if (isOrdinal(lpProcName)) {
                setLastError(ERROR_PROC_NOT_FOUND);
                return nullptr;
            }
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            DWORD error = ERROR_SUCCESS;
            FARPROC proc = k.modulesLocked().find(hModule, lpProcName, k.scheduler().currentProcess(), error);
            if (!proc)
                setLastError(error);
            return proc;
        },
        hModule, isOrdinal(lpProcName) ? nullptr : lpProcName);
}

BOOL FreeLibrary(HMODULE hLibModule)
{
    return platformCall(
        "FreeLibrary", FALSE, ERROR_INVALID_HANDLE,
        [&]() -> BOOL {
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            if (!k.modulesLocked().free(hLibModule, k.scheduler().currentProcess())) {
                setLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            return TRUE;
        },
        hLibModule);
}

DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize)
{
    return platformCall(
        "GetModuleFileNameW", DWORD{0}, ERROR_INVALID_HANDLE,
        [&]() -> DWORD {
            if (!lpFilename || nSize == 0) {
                setLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            const ProcessId pid = k.scheduler().currentProcess();
            const std::wstring path = hModule ? k.modulesLocked().pathOf(hModule, pid) : k.imagePathLocked(pid);
            if (path.empty()) {
                setLastError(hModule ? ERROR_INVALID_HANDLE : ERROR_MOD_NOT_FOUND);
                return 0;
            }
            // A short buffer takes what fits, still ended, and the whole size is the answer.
            const std::size_t copied = std::min<std::size_t>(path.size(), nSize - 1);
            path.copy(lpFilename, copied);
            lpFilename[copied] = L'\0';
            if (copied < path.size()) {
                setLastError(ERROR_INSUFFICIENT_BUFFER);
                return nSize;
            }
            return static_cast<DWORD>(copied);
        },
        hModule, lpFilename, nSize);
}
