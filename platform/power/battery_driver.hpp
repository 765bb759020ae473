// The battery driver: the line status and the charge, what programs read of them, and the
// notification of every report to the queues that subscribed. Members named ...Locked run under
// the kernel lock.
#pragma once

#include "kernel/kernel.hpp"
#include "power/pm.h"
#include "power/power_notification.hpp"
#include "power/winbase_power.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace velorin::power {

struct BatteryReading {
    BYTE acLineStatus = AC_LINE_OFFLINE;  // 0, 1, 2 or 255
    BYTE percent = 100;                   // 0 to 100, or 255 when not known
};

class BatteryDriver {
public:
    explicit BatteryDriver(kernel::Kernel& kernel);
    BatteryDriver(const BatteryDriver&) = delete;
    BatteryDriver& operator=(const BatteryDriver&) = delete;

    // One report of the battery: the values given change, the others stay. Whether or not
    // anything changed, it is traced (power.info) and written to every subscribed queue, and
    // the report listener hears of it.
    void reportLocked(std::optional<BYTE> acLineStatus, std::optional<BYTE> percent);
    BatteryReading readingLocked() const { return m_reading; }

    POWER_BROADCAST_POWER_INFO powerInfoLocked() const;
    SYSTEM_POWER_STATUS_EX2 statusLocked() const;

    // A new subscription of `queue` to `types`; with PBT_POWERINFOCHANGE it gets the current
    // information at once.
    std::shared_ptr<PowerNotification> subscribeLocked(std::shared_ptr<kernel::MsgQueueCore> queue, DWORD types);

    // Told of each report, after the messages: whether the line status changed.
    void setReportListener(std::function<void(bool lineChanged)> listener) { m_listener = std::move(listener); }

private:
    kernel::Kernel& m_kernel;
    BatteryReading m_reading;
    std::vector<std::weak_ptr<PowerNotification>> m_subscriptions;  // oldest first
    std::function<void(bool)> m_listener;
};

}  // namespace velorin::power
