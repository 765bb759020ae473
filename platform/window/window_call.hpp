// The window manager that the window calls work on: the calling thread's device's. Only entry
// points see the assembled device.
#pragma once

#include "boot/device.hpp"
#include "window/window_manager.hpp"

namespace velorin::window {

inline WindowManager& windowManager()
{
    return kernel::Kernel::current().device().windows();
}

}  // namespace velorin::window
