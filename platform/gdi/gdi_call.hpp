// How the graphics functions of the system library reach the device's Gdi.
#pragma once

#include "boot/device.hpp"
#include "kernel/api_call.hpp"

#include <mutex>

namespace velorin::gdi {

// Runs `body(gdi)` under the kernel lock.
template <class Body> auto withGdi(Body&& body)
{
    kernel::Kernel& k = kernel::Kernel::current();
    std::lock_guard lock(k.mutex());
    return body(k.device().gdi());
}

}  // namespace velorin::gdi
