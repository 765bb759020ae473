// How the graphics functions of the system library reach the device's Gdi.
#pragma once

#include "boot/device.hpp"
#include "kernel/api_call.hpp"

#include <mutex>
#include <string_view>

namespace velorin::gdi {

// Runs `body(gdi)` under the kernel lock.
template <class Body> auto withGdi(Body&& body)
{
    kernel::Kernel& k = kernel::Kernel::current();
    std::lock_guard lock(k.mutex());
    return body(k.device().gdi());
}

// Runs the platform function `name` as `body(gdi)` under the kernel lock that its call gate
// takes, so that a drawing call locks once.
template <class R, class Body, class... Args>
R gdiCall(kernel::CallName name, R failResult, DWORD failError, Body&& body, const Args&... args)
{
    return kernel::platformCallLocked(
        name, failResult, failError, [&](kernel::Kernel& kernel) { return body(kernel.device().gdi()); }, args...);
}

}  // namespace velorin::gdi
