// The battery and the backlight as tests and the scenario player see them from outside.
#include "sim/harness/harness.hpp"

#include <mutex>
#include <stdexcept>
#include <string>

namespace velorin::sim {

void Harness::power(std::optional<int> acLineStatus, std::optional<int> percent)
{
    if (acLineStatus && *acLineStatus != 0 && *acLineStatus != 1 && *acLineStatus != 2 && *acLineStatus != 255)
        throw std::invalid_argument("a line status is 0, 1, 2 or 255, not " + std::to_string(*acLineStatus));
    if (percent && (*percent < 0 || *percent > 255))
        throw std::invalid_argument("a battery percentage is 0 to 255, not " + std::to_string(*percent));
    const auto byte = [](std::optional<int> value) -> std::optional<BYTE> {
        return value ? std::optional<BYTE>(static_cast<BYTE>(*value)) : std::nullopt;
    };
    {
        std::lock_guard lock(m_device.kernel().mutex());
        m_device.battery().reportLocked(byte(acLineStatus), byte(percent));
    }
    settle();
}

power::Backlight Harness::backlight()
{
    std::lock_guard lock(m_device.kernel().mutex());
    return m_device.backlight().seenLocked();
}

gdi::Surface Harness::screenAsSeen()
{
    return power::asSeen(screen(), backlight());
}

}  // namespace velorin::sim
