// A whole device: booted in the constructor, powered off in the destructor. The host thread
// that boots it becomes its controller and drives it: launches programs and moves time.
#pragma once

#include "display/display.hpp"
#include "display/display_driver.hpp"
#include "gdi/gdi.hpp"
#include "kernel/kernel.hpp"
#include "kernel/scheduler.hpp"
#include "power/backlight_driver.hpp"
#include "power/battery_driver.hpp"
#include "power/power_manager.hpp"
#include "resources/resource_manager.hpp"
#include "registry/registry.hpp"
#include "trace/fault_plan.hpp"
#include "trace/trace_recorder.hpp"
#include "window/window_manager.hpp"

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>

namespace velorin::platform {

using kernel::DeviceTime;
using kernel::ProcessId;

struct DeviceOptions {
    kernel::ClockMode clock = kernel::ClockMode::Virtual;
    kernel::RunMode run = kernel::RunMode::Serial;
    std::uint64_t seed = 1;
    trace::TraceLevel trace = trace::TraceLevel::Effects;
    int screenWidth = 240;  // the physical panel
    int screenHeight = 320;
};

class Device {
public:
    explicit Device(const DeviceOptions& options = {});
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    kernel::Kernel& kernel() { return m_kernel; }
    const kernel::Kernel& kernel() const { return m_kernel; }
    kernel::Scheduler& scheduler() { return m_scheduler; }
    trace::TraceRecorder& trace() { return m_trace; }
    trace::FaultPlan& faults() { return m_faults; }
    const DeviceOptions& options() const { return m_options; }
    gdi::Gdi& gdi() { return m_gdi; }
    display::Display& display() { return m_display; }
    display::DisplayDriver& displayDriver() { return m_displayDriver; }
    window::WindowManager& windows() { return m_windows; }
    resources::ResourceManager& resources() { return m_resources; }
    registry::Registry& registry() { return m_registry; }
    power::BatteryDriver& battery() { return m_battery; }
    power::BacklightDriver& backlight() { return m_backlight; }
    power::PowerManager& powerManager() { return m_powerManager; }

    // `resources`: the bytes of the program's resource module (a .res file), empty for none.
    ProcessId launch(std::string name, kernel::ProcessEntry entry, std::span<const std::uint8_t> resources = {});
    // Installs a program that CreateProcessW starts by its path, such as "\\Windows\\child.exe".
    void installImage(std::wstring path, kernel::ProcessEntry entry, std::span<const std::uint8_t> resources = {})
    {
        m_kernel.installImage(std::move(path), std::move(entry), resources);
    }
    bool running(ProcessId pid) const;
    std::optional<int> exitCode(ProcessId pid) const;

    DeviceTime now() const { return m_scheduler.now(); }
    // Runs the device until `time`, then until nothing more is runnable at that time.
    void runUntil(DeviceTime time)
    {
        m_kernel.enterAsController();
        // Set-up at the boot moment (the hive, the scenario's first lines) comes before the
        // power manager starts, at the first move of time or the first launch.
        if (time > m_scheduler.now())
            m_powerManager.start();
        m_scheduler.runUntil(time);
    }
    void runFor(DeviceTime duration) { runUntil(now() + duration); }
    // Runs whatever is runnable now, without moving time.
    void settle() { runUntil(now()); }
    // Runs until no thread is runnable, which with preemption may take some device time.
    void runUntilIdle()
    {
        m_kernel.enterAsController();
        m_scheduler.runUntilIdle();
    }

    // Freezes every program thread (not the device's own workers) until thawed.
    void setSuspended(bool suspended)
    {
        std::lock_guard lock(m_scheduler.mutex());
        m_scheduler.setSuspendedLocked(suspended);
    }

    // Stops every thread; the destructor does it if nobody did.
    void powerOff() { m_kernel.shutdown(); }

private:
    DeviceOptions m_options;
    trace::TraceRecorder m_trace;
    trace::FaultPlan m_faults;
    kernel::Scheduler m_scheduler;
    kernel::Kernel m_kernel;
    gdi::Gdi m_gdi;
    display::Display m_display;
    window::WindowManager m_windows;
    resources::ResourceManager m_resources;
    registry::Registry m_registry;
    display::DisplayDriver m_displayDriver;
    power::BatteryDriver m_battery;
    power::BacklightDriver m_backlight;
    power::PowerManager m_powerManager;
};

}  // namespace velorin::platform
