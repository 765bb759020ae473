#include "kernel/kernel_object.hpp"

#include "kernel/msgqueue.h"

namespace velorin::kernel {

std::string_view kindName(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Thread: return "thread";
    case ObjectKind::Event: return "event";
    case ObjectKind::MsgQueueReader: return "message queue (read end)";
    case ObjectKind::MsgQueueWriter: return "message queue (write end)";
    case ObjectKind::Notification: return "notification";
    }
    return "object";
}

void EventObject::pulse()
{
    for (WaitRecord* wait : waiters) {
        for (std::size_t i = 0; i < wait->objects.size(); ++i) {
            if (wait->objects[i] == this)
                wait->pulsed[i] = true;
        }
        if (!manualReset)
            break;
    }
    state = false;
}

bool MsgQueueCore::allowBroken() const
{
    return (flags & MSGQUEUE_ALLOW_BROKEN) != 0;
}

MsgQueueEnd::MsgQueueEnd(std::shared_ptr<MsgQueueCore> core, bool reader)
    : KernelObject(reader ? ObjectKind::MsgQueueReader : ObjectKind::MsgQueueWriter),
      core(std::move(core)),
      reader(reader)
{
    ++(reader ? this->core->readers : this->core->writers);
}

bool MsgQueueEnd::signalled() const
{
    return reader ? !core->messages.empty() : !core->full();
}

void MsgQueueEnd::lastHandleClosed()
{
    if (!m_attached)
        return;
    m_attached = false;
    --(reader ? core->readers : core->writers);
}

}  // namespace velorin::kernel
