// What turning the display does to the device. The system call and the scenario's rotate line
// both come here, so that a rotation has the same effects whoever asks for it.
#pragma once

#include "display/display.hpp"
#include "display/orientation_listener.hpp"
#include "kernel/kernel.hpp"
#include "registry/registry.hpp"

#include <cstdint>

namespace velorin::display {

class DisplayDriver {
public:
    DisplayDriver(kernel::Kernel& kernel, Display& display, OrientationListener& windows, registry::Registry& registry);
    DisplayDriver(const DisplayDriver&) = delete;
    DisplayDriver& operator=(const DisplayDriver&) = delete;

    // Turns the display to `code` (a DMDO_ value): records "Angle" in the registry, invalidates
    // every window and sends WM_SETTINGCHANGE (SETTINGCHANGE_RESET) to each top-level window of
    // every process, returning when all have handled it. A value that is not a code changes
    // nothing and gives DISP_CHANGE_BADMODE. Sends messages, so it takes the kernel lock itself
    // and must be called without it.
    LONG setOrientation(std::uint32_t code);

    // The trace line of an attempt to set `code` that ended with `result` (under the lock).
    void traceAttemptLocked(std::uint32_t code, LONG result);

    int orientationLocked() const { return m_display.orientation(); }

private:
    kernel::Kernel& m_kernel;
    Display& m_display;
    OrientationListener& m_windows;
    registry::Registry& m_registry;
};

}  // namespace velorin::display
