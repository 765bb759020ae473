// A subscription's delivery into its queue, which ends when its last handle closes.
#include "power/power_notification.hpp"

namespace velorin::power {

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
    return m_active && m_writer.core->offer(message);
}

}  // namespace velorin::power
