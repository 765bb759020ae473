// Objects of the device's kernel that handles refer to and waits look at.
#pragma once

#include "kernel/msg_queue_core.hpp"
#include "kernel/scheduler.hpp"
#include "kernel/windef.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace velorin::kernel {

enum class ObjectKind { Thread, Process, Event, MsgQueueReader, MsgQueueWriter, Notification };

struct WaitRecord;

// All state is guarded by the kernel lock.
class KernelObject {
public:
    explicit KernelObject(ObjectKind kind) : m_kind(kind) {}
    virtual ~KernelObject() = default;
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    ObjectKind kind() const { return m_kind; }
    // Whether a wait on the object would end now.
    virtual bool signalled() const { return false; }
    // A wait that this object ended takes its share (an auto-reset event resets).
    virtual void acquire() {}
    // The last handle to the object was closed.
    virtual void lastHandleClosed() {}

    int handleCount = 0;
    std::vector<WaitRecord*> waiters;  // waits now blocked on this object, oldest first

private:
    ObjectKind m_kind;
};

// The object as the class that its kind names, once the caller has checked the kind: a kind
// given to the wrong class would otherwise be read as another layout.
template <class Object> std::shared_ptr<Object> objectAs(std::shared_ptr<KernelObject> object)
{
    if constexpr (kCheckInvariants)
        check(dynamic_cast<const Object*>(object.get()) != nullptr, "a kernel object's kind names its class");
    return std::static_pointer_cast<Object>(std::move(object));
}

// One blocked WaitForSingleObject/WaitForMultipleObjects. The set or pulse of an event releases
// it at that moment, as on the device, so that a reset or a second set before the waiter runs
// cannot take back or merge what was given.
struct WaitRecord {
    std::vector<KernelObject*> objects;
    bool waitAll = false;
    std::optional<std::size_t> released;  // the index it ends with; its objects are taken

    // Whether the wait could end now.
    bool satisfiable() const;
    // Ends the wait if it can end now and takes its objects; true when it has ended.
    bool release();
};

class EventObject final : public KernelObject {
public:
    EventObject(bool manualReset, bool initialState, std::wstring name)
        : KernelObject(ObjectKind::Event), manualReset(manualReset), state(initialState), name(std::move(name))
    {
    }
    bool signalled() const override { return state; }
    void acquire() override
    {
        if (!manualReset)
            state = false;
    }
    // Sets the event and releases at once the waits that it completes, oldest first.
    void set();
    // Releases the waits blocked now (one of them for an auto-reset event) and leaves it reset.
    void pulse();

    const bool manualReset;
    bool state;
    const std::wstring name;
};

class ThreadObject final : public KernelObject {
public:
    ThreadObject() : KernelObject(ObjectKind::Thread) {}
    bool signalled() const override { return finished; }

    ThreadId id = 0;
    ProcessId pid = kSystemProcess;
    bool finished = false;
    DWORD exitCode = 0;
};

// A process, as its handles see it: signalled once it has ended.
class ProcessObject final : public KernelObject {
public:
    ProcessObject() : KernelObject(ObjectKind::Process) {}
    bool signalled() const override { return finished; }

    ProcessId pid = kSystemProcess;
    bool finished = false;
    DWORD exitCode = 0;
};

// One open end of a queue: readable while a message waits, writable while there is room.
class MsgQueueEnd final : public KernelObject {
public:
    MsgQueueEnd(std::shared_ptr<MsgQueueCore> core, bool reader);
    bool signalled() const override;
    void lastHandleClosed() override;

    const std::shared_ptr<MsgQueueCore> core;
    const bool reader;

private:
    bool m_attached = true;
};

}  // namespace velorin::kernel
