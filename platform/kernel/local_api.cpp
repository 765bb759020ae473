// The local heap of the calling process.
#include "kernel/api_call.hpp"
#include "kernel/winbase.h"

using namespace velorin::kernel;

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes)
{
    return platformCall(
        "LocalAlloc", HLOCAL{}, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> HLOCAL {
            if (uFlags & ~LMEM_ZEROINIT) {
                setLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            const ProcessId pid = k.scheduler().currentProcess();
            return static_cast<HLOCAL>(k.localHeapLocked().allocate(pid, uBytes, (uFlags & LMEM_ZEROINIT) != 0));
        },
        uFlags, uBytes);
}

HLOCAL LocalFree(HLOCAL hMem)
{
    return platformCall(
        "LocalFree", hMem, ERROR_INVALID_HANDLE,
        [&]() -> HLOCAL {
            if (!hMem)
                return nullptr;
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            if (!k.localHeapLocked().release(k.scheduler().currentProcess(), hMem)) {
                setLastError(ERROR_INVALID_HANDLE);
                return hMem;
            }
            return nullptr;
        },
        hMem);
}
