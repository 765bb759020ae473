#include "power/power_notification.hpp"

#include <algorithm>
#include <cstring>

namespace velorin::power {

PowerInfoMessage powerInfoMessage(const POWER_BROADCAST_POWER_INFO& info)
{
    PowerInfoMessage bytes{};
    const DWORD header[] = {PBT_POWERINFOCHANGE, 0, static_cast<DWORD>(sizeof info)};
    static_assert(sizeof header == offsetof(POWER_BROADCAST, SystemPowerState));
    std::memcpy(bytes.data(), header, sizeof header);
    std::memcpy(bytes.data() + offsetof(POWER_BROADCAST, SystemPowerState), &info, sizeof info);
    return bytes;
}

PowerNotification::PowerNotification(std::shared_ptr<kernel::MsgQueueCore> queue, DWORD types)
    : KernelObject(kernel::ObjectKind::Notification), m_writer(std::move(queue), false), m_types(types)
{
}

void PowerNotification::lastHandleClosed()
{
    m_active = false;
    m_writer.lastHandleClosed();
}

bool PowerNotification::deliverLocked(std::span<const BYTE> message)
{
    kernel::MsgQueueCore& queue = *m_writer.core;
    if (!m_active || queue.readers == 0 || queue.full() || message.size() > queue.cbMaxMessage)
        return false;
    queue.messages.push_back(kernel::QueuedMessage{std::vector<BYTE>(message.begin(), message.end()), 0});
    queue.highWater = std::max(queue.highWater, static_cast<DWORD>(queue.messages.size()));
    return true;
}

}  // namespace velorin::power
