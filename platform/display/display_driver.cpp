// A rotation carried out: the mode checked and set, the angle kept in the registry, and every
// top-level window told outside the kernel lock.
#include "display/display_driver.hpp"

#include "display/windisplay.h"

#include <mutex>
#include <string>
#include <vector>

namespace velorin::display {

namespace {
// Where the system keeps the display's angle, in degrees.
constexpr wchar_t kRotationKey[] = L"System\\GDI\\Rotation";
constexpr wchar_t kAngleValue[] = L"Angle";
}  // namespace

DisplayDriver::DisplayDriver(kernel::Kernel& kernel, Display& display, OrientationListener& windows,
                             registry::Registry& registry)
    : m_kernel(kernel), m_display(display), m_windows(windows), m_registry(registry)
{
}

void DisplayDriver::traceAttemptLocked(std::uint32_t code, LONG result)
{
    m_kernel.mutex().assertHeld();
    m_kernel.effectLocked("display.orientation", std::to_string(code) + " result=" + std::to_string(result));
}

LONG DisplayDriver::setOrientation(std::uint32_t code)
{
    std::vector<HWND> topLevel;
    {
        std::lock_guard lock(m_kernel.mutex());
        const auto degrees = degreesOf(code);
        if (!degrees) {
            traceAttemptLocked(code, DISP_CHANGE_BADMODE);
            return DISP_CHANGE_BADMODE;
        }
        m_display.setOrientation(static_cast<int>(code));
        traceAttemptLocked(code, DISP_CHANGE_SUCCESSFUL);
        m_registry.setValueLocked(registry::Root::LocalMachine, kRotationKey,
                                  registry::dwordValue(kAngleValue, static_cast<DWORD>(*degrees)));
        topLevel = m_windows.orientationChangedLocked();
    }
    // Sent without the lock: each window's thread runs its procedure while this one waits. A
    // window destroyed meanwhile is skipped; its error is not the caller's.
    const DWORD lastError = kernel::lastError();
    for (HWND hwnd : topLevel)
        m_windows.tellOrientationChanged(hwnd);
    kernel::setLastError(lastError);
    return DISP_CHANGE_SUCCESSFUL;
}

}  // namespace velorin::display
