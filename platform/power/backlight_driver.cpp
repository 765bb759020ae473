// The backlight as the user sees it: the level for the power line, dimmed or off by the state
// asked for or the power manager's limit, with an effect line each time it changes.
#include "power/backlight_driver.hpp"

#include <algorithm>
#include <cstdint>
#include <string>

namespace velorin::power {

namespace {
constexpr wchar_t kBacklightKey[] = L"ControlPanel\\BackLight";
}  // namespace

BacklightDriver::BacklightDriver(kernel::Kernel& kernel, registry::Registry& registry, const BatteryDriver& battery)
    : m_kernel(kernel), m_registry(registry), m_battery(battery)
{
}

void BacklightDriver::setPowerStateLocked(CEDEVICE_POWER_STATE state)
{
    m_kernel.mutex().assertHeld();
    m_state = state;
    if (state == D0) {
        const bool onAc = m_battery.readingLocked().acLineStatus == AC_LINE_ONLINE;
        const auto value = m_registry.valueLocked(registry::Root::CurrentUser, kBacklightKey,
                                                  onAc ? L"AcBacklightLevel" : L"BatteryBacklightLevel");
        if (const auto level = value ? registry::dwordOf(*value) : std::nullopt)
            m_level = std::clamp(static_cast<int>(static_cast<std::int32_t>(*level)), 0, kMaxBacklightLevel);
    }
    updateLocked();
}

void BacklightDriver::setLimitLocked(BacklightLimit limit)
{
    m_kernel.mutex().assertHeld();
    m_limit = limit;
    updateLocked();
}

void BacklightDriver::updateLocked()
{
    m_kernel.mutex().assertHeld();
    Backlight seen{true, m_level};
    if (m_state >= D2 || m_limit == BacklightLimit::Off)
        seen = Backlight{false, 0};
    else if (m_state == D1 || m_limit == BacklightLimit::Dim)
        seen.level = std::min(seen.level, kDimLevel);
    if (seen == m_seen)
        return;
    m_seen = seen;
    m_kernel.effectLocked("backlight",
                          "on=" + std::to_string(seen.on ? 1 : 0) + " level=" + std::to_string(seen.level));
}

}  // namespace velorin::power
