// The power manager's worker and its idle model: activity and reloads taken from its events,
// states entered as the line's time-outs run out, the backlight limited and the device suspended.
#include "power/power_manager.hpp"

#include "power/core_exports.hpp"

#include <algorithm>
#include <mutex>
#include <utility>

namespace velorin::power {

namespace {
constexpr kernel::DeviceTime kMillisecondsPerSecond = 1000;

DWORD dwordIn(const registry::Registry& registry, registry::Root root, std::wstring_view path, std::wstring_view name)
{
    const auto value = registry.valueLocked(root, path, name);
    return value ? registry::dwordOf(*value).value_or(0) : 0;
}
}  // namespace

std::string_view stateName(PowerState state)
{
    switch (state) {
    case PowerState::On:
        return "On";
    case PowerState::UserIdle:
        return "UserIdle";
    case PowerState::Suspend:
        return "Suspend";
    }
    return "On";
}

PowerManager::PowerManager(kernel::Kernel& kernel, registry::Registry& registry, BatteryDriver& battery,
                           BacklightDriver& backlight)
    : m_kernel(kernel), m_registry(registry), m_battery(battery), m_backlight(backlight),
      m_activityEvent(std::make_shared<kernel::EventObject>(false, false, kActivityEventName)),
      m_reloadEvent(std::make_shared<kernel::EventObject>(false, false, kReloadEventName))
{
    std::lock_guard lock(m_kernel.mutex());
    m_kernel.nameEventLocked(m_activityEvent);
    m_kernel.nameEventLocked(m_reloadEvent);
    addCoreExportsLocked(m_kernel.modulesLocked());
    m_battery.setReportListener([this](bool lineChanged) { onBatteryReportLocked(lineChanged); });
}

void PowerManager::start()
{
    {
        std::lock_guard lock(m_kernel.mutex());
        if (m_started)
            return;
        m_started = true;
        readTimeoutsLocked();
        m_lastActivity = m_kernel.scheduler().nowLocked();
    }
    m_kernel.spawnSystemThread("power manager", [this] { run(); });
    // The worker reaches its wait before any program runs, so it never takes a turn that the
    // seed would have to choose between it and a program.
    m_kernel.scheduler().runUntil(m_kernel.scheduler().now());
}

void PowerManager::run()
{
    std::unique_lock lock(m_kernel.mutex());
    const std::function<bool()> ready = [this] { return m_wake || m_activityEvent->state || m_reloadEvent->state; };
    for (;;) {
        // Both events are auto-reset: the power manager takes each set once.
        if (std::exchange(m_reloadEvent->state, false))
            readTimeoutsLocked();
        if (std::exchange(m_activityEvent->state, false))
            activityLocked();
        m_wake = false;
        advanceLocked();
        m_kernel.scheduler().block(lock, ready, nextDeadlineLocked());
    }
}

bool PowerManager::userInput()
{
    std::lock_guard lock(m_kernel.mutex());
    const bool wasSuspended = m_state == PowerState::Suspend;
    activityLocked();
    wakeLocked();
    return !wasSuspended;
}

void PowerManager::setSystemStateLocked(PowerState state, bool force)
{
    m_kernel.mutex().assertHeld();
    std::string name = state == PowerState::On ? "on" : state == PowerState::UserIdle ? "useridle" : "suspend";
    m_kernel.effectLocked("system.power", force ? name + " force" : name);
    if (state == PowerState::On)
        activityLocked();
    else
        enterLocked(state);
    wakeLocked();
}

void PowerManager::onBatteryReportLocked(bool lineChanged)
{
    m_kernel.mutex().assertHeld();
    // Connecting or removing the charger wakes the device as a touch does; any report brings
    // it out of Suspend. A new percentage alone does not keep an idle device awake.
    if (lineChanged || m_state == PowerState::Suspend) {
        activityLocked();
        wakeLocked();
    }
}

void PowerManager::activityLocked()
{
    m_kernel.mutex().assertHeld();
    m_lastActivity = m_kernel.scheduler().nowLocked();
    enterLocked(PowerState::On);
}

void PowerManager::wakeLocked()
{
    m_kernel.mutex().assertHeld();
    m_wake = true;
    m_kernel.signalLocked();
}

void PowerManager::enterLocked(PowerState state)
{
    m_kernel.mutex().assertHeld();
    if (state == m_state)
        return;
    const PowerState previous = std::exchange(m_state, state);
    m_kernel.effectLocked("pm.state", stateName(state));
    kernel::Scheduler& scheduler = m_kernel.scheduler();
    if (previous == PowerState::Suspend)
        scheduler.setSuspendedLocked(false);
    switch (state) {
    case PowerState::On:
        m_backlight.setLimitLocked(BacklightLimit::Full);
        break;
    case PowerState::UserIdle:
        m_backlight.setLimitLocked(useDimLocked() ? BacklightLimit::Dim : BacklightLimit::Full);
        break;
    case PowerState::Suspend:
        m_backlight.setLimitLocked(BacklightLimit::Off);
        scheduler.setSuspendedLocked(true);
        break;
    }
}

void PowerManager::readTimeoutsLocked()
{
    m_kernel.mutex().assertHeld();
    const auto read = [this](std::wstring_view name) {
        return dwordIn(m_registry, registry::Root::LocalMachine, kTimeoutsKey, name);
    };
    m_timeouts = IdleTimeouts{read(L"ACUserIdle"), read(L"ACSuspend"), read(L"BattUserIdle"), read(L"BattSuspend")};
}

bool PowerManager::useDimLocked() const
{
    m_kernel.mutex().assertHeld();
    return dwordIn(m_registry, registry::Root::CurrentUser, L"ControlPanel\\BackLight", L"UseDim") != 0;
}

std::pair<kernel::DeviceTime, kernel::DeviceTime> PowerManager::activeTimeoutsLocked() const
{
    m_kernel.mutex().assertHeld();
    const bool onAc = m_battery.readingLocked().acLineStatus == AC_LINE_ONLINE;
    const DWORD userIdle = onAc ? m_timeouts.acUserIdle : m_timeouts.battUserIdle;
    const DWORD suspend = onAc ? m_timeouts.acSuspend : m_timeouts.battSuspend;
    return {userIdle * kMillisecondsPerSecond, suspend * kMillisecondsPerSecond};
}

void PowerManager::advanceLocked()
{
    m_kernel.mutex().assertHeld();
    if (m_state == PowerState::Suspend)
        return;
    const auto [userIdle, suspend] = activeTimeoutsLocked();
    const kernel::DeviceTime idleFor = m_kernel.scheduler().nowLocked() - m_lastActivity;
    // Both are counted from the last activity, so a suspend time-out that is not longer than
    // the user-idle one goes straight to Suspend.
    if (suspend != 0 && idleFor >= suspend)
        enterLocked(PowerState::Suspend);
    else if (m_state == PowerState::On && userIdle != 0 && idleFor >= userIdle)
        enterLocked(PowerState::UserIdle);
}

kernel::DeviceTime PowerManager::nextDeadlineLocked() const
{
    m_kernel.mutex().assertHeld();
    if (m_state == PowerState::Suspend)
        return kernel::kForever;  // only a wake-up ends it
    const auto [userIdle, suspend] = activeTimeoutsLocked();
    kernel::DeviceTime deadline = kernel::kForever;
    if (m_state == PowerState::On && userIdle != 0)
        deadline = std::min(deadline, m_lastActivity + userIdle);
    if (suspend != 0)
        deadline = std::min(deadline, m_lastActivity + suspend);
    return deadline;
}

}  // namespace velorin::power
