// GetExitCodeThread and GetExitCodeProcess alike: what an ended thread or process returned, or
// STILL_ACTIVE while it runs.
#pragma once

#include "kernel/kernel.hpp"
#include "kernel/winbase.h"

namespace velorin::kernel {

// `Object` is the ThreadObject or ProcessObject that `kind` names; takes the kernel lock.
template <class Object> BOOL readExitCode(HANDLE handle, ObjectKind kind, LPDWORD exitCode)
{
    Kernel& k = Kernel::current();
    std::lock_guard lock(k.mutex());
    const auto object = k.handlesLocked().find(handle);
    if (!object || object->kind() != kind || !exitCode) {
        setLastError(exitCode ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto& ended = *objectAs<const Object>(object);
    *exitCode = ended.finished ? ended.exitCode : STILL_ACTIVE;
    return TRUE;
}

}  // namespace velorin::kernel
