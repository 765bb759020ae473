// The power manager: its named events, the idle model (On, UserIdle, Suspend) with the
// registry's time-outs, and the system power state. Its worker lives in the scheduler's time,
// so an idle hour of device time passes in virtual time like any other wait. Members named
// ...Locked run under the kernel lock.
#pragma once

#include "kernel/kernel.hpp"
#include "power/backlight_driver.hpp"
#include "power/battery_driver.hpp"
#include "registry/registry.hpp"

#include <functional>
#include <memory>
#include <string_view>

namespace velorin::power {

inline constexpr wchar_t kActivityEventName[] = L"PowerManager/ActivityTimer/SystemActivity";
inline constexpr wchar_t kReloadEventName[] = L"PowerManager/ReloadActivityTimeouts";
inline constexpr wchar_t kTimeoutsKey[] = L"System\\CurrentControlSet\\Control\\Power\\Timeouts";

enum class PowerState { On, UserIdle, Suspend };
std::string_view stateName(PowerState state);  // "On", "UserIdle", "Suspend"

// Seconds from the last activity; 0 is never.
struct IdleTimeouts {
    DWORD acUserIdle = 0;
    DWORD acSuspend = 0;
    DWORD battUserIdle = 0;
    DWORD battSuspend = 0;
    bool operator==(const IdleTimeouts&) const = default;
};

class PowerManager {
public:
    // Creates the named events (both auto-reset, not signalled).
    PowerManager(kernel::Kernel& kernel, registry::Registry& registry, BatteryDriver& battery,
                 BacklightDriver& backlight);
    PowerManager(const PowerManager&) = delete;
    PowerManager& operator=(const PowerManager&) = delete;

    // Reads the time-outs and starts the worker, once; later calls do nothing. The device calls
    // it at its first launch or first move of time, so that the hive it was given and the
    // set-up done before then count as what it booted with. Controller only, without the lock.
    void start();

    // A tap or a key: activity. False when the input only woke the device from Suspend and is
    // not to reach the programs, as the touch that lights a sleeping handheld's screen does not.
    bool userInput();

    // SetSystemPowerState with a state the device has (the caller has checked): traced, and
    // On counts as activity.
    void setSystemStateLocked(PowerState state, bool force);

    PowerState stateLocked() const { return m_state; }
    IdleTimeouts timeoutsLocked() const { return m_timeouts; }

private:
    void run();
    // Activity now: the idle count starts again and the system is On.
    void activityLocked();
    // The worker must work out its next deadline again.
    void wakeLocked();
    void enterLocked(PowerState state);
    void readTimeoutsLocked();
    // Moves to the state that the time since the last activity calls for.
    void advanceLocked();
    kernel::DeviceTime nextDeadlineLocked() const;
    // The time-outs for the present line, in milliseconds (0 never).
    std::pair<kernel::DeviceTime, kernel::DeviceTime> activeTimeoutsLocked() const;
    bool useDimLocked() const;
    void onBatteryReportLocked(bool lineChanged);

    kernel::Kernel& m_kernel;
    registry::Registry& m_registry;
    BatteryDriver& m_battery;
    BacklightDriver& m_backlight;
    std::shared_ptr<kernel::EventObject> m_activityEvent;
    std::shared_ptr<kernel::EventObject> m_reloadEvent;
    IdleTimeouts m_timeouts;
    PowerState m_state = PowerState::On;
    kernel::DeviceTime m_lastActivity = 0;
    bool m_started = false;
    bool m_wake = false;
};

}  // namespace velorin::power
