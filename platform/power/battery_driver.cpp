// A battery report taken in, traced, and delivered to every live subscription that wants it.
#include "power/battery_driver.hpp"

#include "power/power_records.hpp"

#include <string>

namespace velorin::power {

BatteryDriver::BatteryDriver(kernel::Kernel& kernel) : m_kernel(kernel) {}

POWER_BROADCAST_POWER_INFO BatteryDriver::powerInfoLocked() const
{
    m_kernel.mutex().assertHeld();
    return powerInfoFor(m_reading.acLineStatus, m_reading.percent);
}

SYSTEM_POWER_STATUS_EX2 BatteryDriver::statusLocked() const
{
    m_kernel.mutex().assertHeld();
    return powerStatusFor(m_reading.acLineStatus, m_reading.percent);
}

void BatteryDriver::reportLocked(std::optional<BYTE> acLineStatus, std::optional<BYTE> percent)
{
    m_kernel.mutex().assertHeld();
    const bool lineChanged = acLineStatus && *acLineStatus != m_reading.acLineStatus;
    m_reading.acLineStatus = acLineStatus.value_or(m_reading.acLineStatus);
    m_reading.percent = percent.value_or(m_reading.percent);
    m_kernel.effectLocked("power.info", "ac=" + std::to_string(m_reading.acLineStatus) +
                                            " percent=" + std::to_string(m_reading.percent));
    const PowerInfoMessage message = powerInfoMessage(powerInfoLocked());
    std::erase_if(m_subscriptions, [](const auto& s) { return s.expired(); });
    for (const auto& weak : m_subscriptions) {
        const auto subscription = weak.lock();
        if (subscription && subscription->wants(PBT_POWERINFOCHANGE))
            subscription->deliverLocked(message);
    }
    m_kernel.signalLocked();
    if (m_listener)
        m_listener(lineChanged);
}

std::shared_ptr<PowerNotification> BatteryDriver::subscribeLocked(std::shared_ptr<kernel::MsgQueueCore> queue,
                                                                  DWORD types)
{
    m_kernel.mutex().assertHeld();
    auto subscription = std::make_shared<PowerNotification>(std::move(queue), types);
    m_subscriptions.push_back(subscription);
    if (subscription->wants(PBT_POWERINFOCHANGE)) {
        subscription->deliverLocked(powerInfoMessage(powerInfoLocked()));
        m_kernel.signalLocked();
    }
    return subscription;
}

}  // namespace velorin::power
