// The call path of the registry functions, whose result is their error code: a call that the
// fault plan fails returns the plan's error, or the function's own.
#pragma once

#include "kernel/api_call.hpp"
#include "registry/winreg.h"

namespace velorin::kernel {

// Call lines name the roots; other keys print as their handle value.
template <> struct TraceFormat<HKEY> {
    static std::string format(HKEY key)
    {
        if (key == HKEY_LOCAL_MACHINE)
            return "HKLM";
        if (key == HKEY_CURRENT_USER)
            return "HKCU";
        char buf[24];
        std::snprintf(buf, sizeof buf, "0x%llX",
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(key)));
        return key ? std::string(buf) : std::string("NULL");
    }
};

}  // namespace velorin::kernel

namespace velorin::registry {

template <class Body, class... Args>
LONG regCall(kernel::CallName name, DWORD failError, Body&& body, const Args&... args)
{
    kernel::Kernel& kernel = kernel::Kernel::current();
    const kernel::CallGate gate = kernel.enterCall(name);
    DWORD error = failError;
    if (gate.proceed) {
        error = body();
    } else {
        error = gate.error.value_or(failError);
        kernel::setLastError(error);
    }
    const auto result = static_cast<LONG>(error);
    if (gate.traced)
        kernel.traceCall(name, kernel::traceArgs(args...), kernel::traceArg(result));
    return result;
}

}  // namespace velorin::registry
