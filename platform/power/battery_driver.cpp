#include "power/battery_driver.hpp"

#include "power/battery_flag.hpp"

#include <cstring>
#include <string>

namespace velorin::power {

namespace {
// The levels that the flag fields tell apart: high, low and critical.
constexpr DWORD kBatteryLevels = 3;
}  // namespace

BatteryDriver::BatteryDriver(kernel::Kernel& kernel) : m_kernel(kernel) {}

BYTE BatteryDriver::batteryFlagLocked() const
{
    return batteryFlagFor(m_reading.acLineStatus, m_reading.percent);
}

POWER_BROADCAST_POWER_INFO BatteryDriver::powerInfoLocked() const
{
    POWER_BROADCAST_POWER_INFO info;
    std::memset(&info, 0, sizeof info);  // the padding too: messages are compared byte for byte
    info.dwNumLevels = kBatteryLevels;
    info.dwBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    info.dwBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    info.dwBackupBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    info.dwBackupBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    info.bACLineStatus = m_reading.acLineStatus;
    info.bBatteryFlag = batteryFlagLocked();
    info.bBatteryLifePercent = m_reading.percent;
    info.bBackupBatteryFlag = BATTERY_FLAG_UNKNOWN;
    info.bBackupBatteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
    return info;
}

SYSTEM_POWER_STATUS_EX2 BatteryDriver::statusLocked() const
{
    SYSTEM_POWER_STATUS_EX2 status;
    std::memset(&status, 0, sizeof status);  // what the driver does not measure reads as 0
    status.ACLineStatus = m_reading.acLineStatus;
    status.BatteryFlag = batteryFlagLocked();
    status.BatteryLifePercent = m_reading.percent;
    status.BatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BackupBatteryFlag = BATTERY_FLAG_UNKNOWN;
    status.BackupBatteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
    status.BackupBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BackupBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    status.BatteryChemistry = BATTERY_CHEMISTRY_UNKNOWN;
    return status;
}

void BatteryDriver::reportLocked(std::optional<BYTE> acLineStatus, std::optional<BYTE> percent)
{
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
    auto subscription = std::make_shared<PowerNotification>(std::move(queue), types);
    m_subscriptions.push_back(subscription);
    if (subscription->wants(PBT_POWERINFOCHANGE)) {
        subscription->deliverLocked(powerInfoMessage(powerInfoLocked()));
        m_kernel.signalLocked();
    }
    return subscription;
}

}  // namespace velorin::power
