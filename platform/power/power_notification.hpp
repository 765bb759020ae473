// One program's subscription to power notifications, and the messages it receives.
#pragma once

#include "kernel/kernel_object.hpp"
#include "power/pm.h"

#include <memory>
#include <span>

namespace velorin::power {

// The handle that RequestPowerNotifications gives. It holds the power manager's own write end
// of the program's queue, so the queue has a writer for as long as the subscription lasts. All
// state is guarded by the kernel lock.
class PowerNotification final : public kernel::KernelObject {
public:
    PowerNotification(std::shared_ptr<kernel::MsgQueueCore> queue, DWORD types);

    // StopPowerNotifications, or the end of the owning process: nothing more is written.
    void lastHandleClosed() override;

    bool wants(DWORD type) const { return m_active && (m_types & type) != 0; }
    // Writes one message without waiting. False when the queue cannot take it now: full, no
    // reader left, or the message longer than the queue's largest.
    bool deliverLocked(std::span<const BYTE> message);

private:
    kernel::MsgQueueEnd m_writer;
    DWORD m_types;
    bool m_active = true;
};

}  // namespace velorin::power
