// The path of every platform call that a program makes: the call gate, the fault plan, and the
// call line of `--trace=all`.
//
// Adding a platform function:
//  1. Declare it in its area's public header (platform/<area>/*.h), one declaration a line: the
//     header coverage test (conformance/headers) reads them so.
//  2. Define it in the area's *_api.cpp through a call wrapper, so that it is traced and can be
//     failed: platformCall, platformCallLocked or platformCallVoid below, regCall
//     (registry/reg_call.hpp) or gdiCall (gdi/gdi_call.hpp), named by a string literal (CallName).
//  3. A new handle type: kIsHandle below; a record passed by value: a TraceFormat.
//  4. A function that programs look up by name (GetProcAddressW): addCoreExportsLocked
//     (power/core_exports.hpp).
//  5. A line in conformance/headers/*.inc (common.inc, or ce_only.inc with its CE page in
//     ce_only.txt), and a check of what it does in conformance/suite.
//  6. Where desktop Windows lacks it: win32/include/ce_windows.h and win32/coredll/.
// The reliability tests find the utility's calls of it by themselves and fail them.
#pragma once

#include "kernel/call_name.hpp"
#include "kernel/kernel.hpp"
#include "kernel/windef.h"
#include "trace/trace_recorder.hpp"

#include <cstdio>
#include <mutex>
#include <string>
#include <type_traits>

namespace velorin::kernel {

// Handle types print as their value, which is deterministic; other pointers only as NULL or
// ptr, since host addresses differ from run to run. Areas add their handle types here.
template <class T> inline constexpr bool kIsHandle = false;
template <> inline constexpr bool kIsHandle<HANDLE> = true;
template <> inline constexpr bool kIsHandle<HMODULE> = true;
// Graphics.
template <> inline constexpr bool kIsHandle<HDC> = true;
template <> inline constexpr bool kIsHandle<HBITMAP> = true;
template <> inline constexpr bool kIsHandle<HBRUSH> = true;
template <> inline constexpr bool kIsHandle<HPEN> = true;
template <> inline constexpr bool kIsHandle<HFONT> = true;
// Resources.
template <> inline constexpr bool kIsHandle<HICON> = true;
// Windows.
template <> inline constexpr bool kIsHandle<HWND> = true;
template <> inline constexpr bool kIsHandle<HMENU> = true;

inline std::string handleText(const void* handle)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
    return handle ? std::string(buf) : std::string("NULL");
}

// A graphics object as a call line shows it: HGDIOBJ is void*, as in the system's headers, so
// the calls that take or give one wrap it to print its value rather than "ptr".
struct GdiObjectHandle {
    HGDIOBJ value = nullptr;
};

// How a value appears in a call line; areas specialise it for records passed by value.
template <class T> struct TraceFormat {
    static std::string format(const T& value)
    {
        if constexpr (kIsHandle<T>) {
            return handleText(value);
        } else if constexpr (std::is_same_v<T, const wchar_t*>) {
            // A value below 64 K is a resource number, not a string.
            if (value && reinterpret_cast<std::uintptr_t>(value) < 0x10000)
                return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(value));
            return value ? trace::quoted(std::wstring_view(value)) : std::string("NULL");
        } else if constexpr (std::is_integral_v<T>) {
            return std::to_string(value);
        } else if constexpr (std::is_enum_v<T>) {
            return std::to_string(static_cast<std::underlying_type_t<T>>(value));
        } else if constexpr (std::is_pointer_v<T> || std::is_null_pointer_v<T>) {
            return value ? std::string("ptr") : std::string("NULL");
        } else {
            static_assert(sizeof(T) == 0, "no call-line format for this type");
        }
    }
};

template <> struct TraceFormat<GdiObjectHandle> {
    static std::string format(const GdiObjectHandle& object) { return handleText(object.value); }
};

template <> struct TraceFormat<POINT> {
    static std::string format(const POINT& p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; }
};

template <class T> std::string traceArg(const T& value)
{
    return TraceFormat<std::decay_t<T>>::format(value);
}

template <class... Args> std::string traceArgs(const Args&... args)
{
    std::string out;
    ((out += (out.empty() ? "" : ", ") + traceArg(args)), ...);
    return out;
}

// Runs `body` as the platform function `name`. A refused call (an ended process, or one the
// fault plan fails) returns `failResult` with `failError` as the last error.
template <class R, class Body, class... Args>
R platformCall(CallName name, R failResult, DWORD failError, Body&& body, const Args&... args)
{
    Kernel& kernel = Kernel::current();
    const CallGate gate = kernel.enterCall(name);
    R result = failResult;
    if (gate.proceed) {
        result = body();
    } else {
        setLastError(gate.error.value_or(failError));
    }
    if (gate.traced)
        kernel.traceCall(name, traceArgs(args...), traceArg(result));
    return result;
}

// The same with `body(kernel)` run under the kernel lock that the gate took, for an area whose
// work is all under that lock: one lock a call where taking it again in the body would make two.
template <class R, class Body, class... Args>
R platformCallLocked(CallName name, R failResult, DWORD failError, Body&& body, const Args&... args)
{
    Kernel& kernel = Kernel::current();
    std::unique_lock lock(kernel.mutex());
    CallGate gate;
    kernel.enterCall(name, lock, gate);
    R result = failResult;
    if (gate.proceed) {
        result = body(kernel);
    } else {
        setLastError(gate.error.value_or(failError));
    }
    lock.unlock();
    if (gate.traced)
        kernel.traceCall(name, traceArgs(args...), traceArg(result));
    return result;
}

// The same for a function without a result; a refused call does nothing.
template <class Body, class... Args> void platformCallVoid(CallName name, Body&& body, const Args&... args)
{
    Kernel& kernel = Kernel::current();
    const CallGate gate = kernel.enterCall(name);
    if (gate.proceed)
        body();
    if (gate.traced)
        kernel.traceCall(name, traceArgs(args...), "");
}

}  // namespace velorin::kernel
