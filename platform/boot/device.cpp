// Assembling a device: each area made and handed the others it uses, then booted.
#include "boot/device.hpp"

namespace velorin::platform {

Device::Device(const DeviceOptions& options)
    : m_options(options), m_trace(options.trace),
      m_scheduler(kernel::SchedulerOptions{options.clock, options.run, options.seed}),
      m_kernel(m_scheduler, m_trace, m_faults), m_gdi(m_kernel),
      m_display(options.screenWidth, options.screenHeight), m_windows(m_kernel, m_display, m_gdi),
      m_resources(m_kernel), m_registry(m_kernel),
      m_displayDriver(m_kernel, m_display, m_windows, m_registry), m_battery(m_kernel),
      m_backlight(m_kernel, m_registry, m_battery), m_powerManager(m_kernel, m_registry, m_battery, m_backlight)
{
    m_kernel.setDevice(*this);
    m_gdi.setWindowResolver([this](HWND hwnd) { return m_windows.windowTargetLocked(hwnd); });
    m_gdi.setScreenAccess({[this] { return m_windows.composeScreenLocked(); },
                           [this](const gdi::Surface& before, const gdi::Surface& after) {
                               m_windows.drawOnScreenLocked(before, after);
                           }});
    m_kernel.attachController();
}

Device::~Device()
{
    powerOff();
}

ProcessId Device::launch(std::string name, kernel::ProcessEntry entry, std::span<const std::uint8_t> resources)
{
    m_kernel.enterAsController();
    m_powerManager.start();
    return m_kernel.launch(std::move(name), std::move(entry), resources);
}

bool Device::running(ProcessId pid) const
{
    const auto info = m_kernel.process(pid);
    return info && info->running;
}

std::optional<int> Device::exitCode(ProcessId pid) const
{
    const auto info = m_kernel.process(pid);
    if (!info || info->running)
        return std::nullopt;
    return info->exitCode;
}

}  // namespace velorin::platform
