// Kernel objects' states: waits that can be met and taken, events set and pulsed, queue ends.
#include "kernel/kernel_object.hpp"

#include "kernel/msgqueue.h"

#include <algorithm>

namespace velorin::kernel {

bool WaitRecord::satisfiable() const
{
    const auto isSignalled = [](const KernelObject* o) { return o->signalled(); };
    return waitAll ? std::all_of(objects.begin(), objects.end(), isSignalled)
                   : std::any_of(objects.begin(), objects.end(), isSignalled);
}

bool WaitRecord::release()
{
    if (released)
        return true;
    if (!satisfiable())
        return false;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (!objects[i]->signalled())
            continue;  // only a wait for any gets here
        objects[i]->acquire();
        if (!waitAll) {
            released = i;
            return true;
        }
    }
    released = 0;
    return true;
}

void EventObject::set()
{
    state = true;
    for (WaitRecord* wait : waiters) {
        if (!state)
            break;  // an auto-reset event was taken
        wait->release();
    }
}

void EventObject::pulse()
{
    set();
    state = false;
}

MsgQueueEnd::MsgQueueEnd(std::shared_ptr<MsgQueueCore> core, bool reader)
    : KernelObject(reader ? ObjectKind::MsgQueueReader : ObjectKind::MsgQueueWriter), core(std::move(core)),
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
