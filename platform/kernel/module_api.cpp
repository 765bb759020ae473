// Modules and their exports.
#include "kernel/api_call.hpp"
#include "kernel/winbase.h"

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
