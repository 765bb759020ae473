// A point-to-point message queue's contents and counts, and what CE's queue calls do with them
// apart from waiting: written once for the device's kernel and for the CE layer on desktop Win32,
// which differ only in how they lock and wait. Callers hold their side's lock.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <msgqueue.h>
#else
#include "kernel/msgqueue.h"
#include "kernel/winerror.h"
#endif

#include <algorithm>
#include <cstring>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace velorin::kernel {

// CE takes an options record only at its own size.
inline bool validQueueOptions(const MSGQUEUEOPTIONS* options)
{
    return options && options->dwSize == sizeof(MSGQUEUEOPTIONS);
}

// A new queue needs room for a message as well.
inline bool validNewQueueOptions(const MSGQUEUEOPTIONS* options)
{
    return validQueueOptions(options) && options->cbMaxMessage != 0;
}

// A read needs a buffer of some size and somewhere to say how much it took.
inline bool validReadArguments(const void* buffer, DWORD size, const DWORD* read)
{
    return buffer && size != 0 && read;
}

// A write needs a message of some size.
inline bool validWriteArguments(const void* message, DWORD size)
{
    return message && size != 0;
}

struct QueuedMessage {
    std::vector<BYTE> bytes;
    DWORD flags = 0;
};

// The queue itself, shared by its open ends.
struct MsgQueueCore {
    std::wstring name;
    DWORD flags = 0;
    DWORD maxMessages = 0;  // 0: no limit
    DWORD cbMaxMessage = 0;
    std::deque<QueuedMessage> messages;
    DWORD highWater = 0;
    int readers = 0;
    int writers = 0;

    void setUp(std::wstring queueName, const MSGQUEUEOPTIONS& options)
    {
        name = std::move(queueName);
        flags = options.dwFlags;
        maxMessages = options.dwMaxMessages;
        cbMaxMessage = options.cbMaxMessage;
    }

    bool allowBroken() const { return (flags & MSGQUEUE_ALLOW_BROKEN) != 0; }
    bool full() const { return maxMessages != 0 && messages.size() >= maxMessages; }
    bool tooLong(std::size_t size) const { return size > cbMaxMessage; }
    // With no end left on the other side, a read or a write has nothing to wait for, unless the
    // queue was made to allow that.
    bool brokenForReader() const { return writers == 0 && !allowBroken(); }
    bool brokenForWriter() const { return readers == 0 && !allowBroken(); }

    void push(std::span<const BYTE> bytes, DWORD messageFlags)
    {
        messages.push_back(QueuedMessage{std::vector<BYTE>(bytes.begin(), bytes.end()), messageFlags});
        highWater = std::max(highWater, static_cast<DWORD>(messages.size()));
    }

    // A message of the system's (a power notification), which never waits: false when the queue
    // cannot take it now (full, no reader left, or longer than its largest).
    bool offer(std::span<const BYTE> bytes)
    {
        if (readers == 0 || full() || tooLong(bytes.size()))
            return false;
        push(bytes, 0);
        return true;
    }

    // Takes the oldest message into `buffer`; false when it did not fit, and the rest of it is
    // lost all the same.
    bool take(void* buffer, DWORD size, DWORD& read, DWORD* messageFlags)
    {
        const QueuedMessage message = std::move(messages.front());
        messages.pop_front();
        const auto length = static_cast<DWORD>(message.bytes.size());
        read = std::min(length, size);
        std::memcpy(buffer, message.bytes.data(), read);
        if (messageFlags)
            *messageFlags = message.flags;
        return read == length;
    }

    void describe(MSGQUEUEINFO& info) const
    {
        info.dwFlags = flags;
        info.dwMaxMessages = maxMessages;
        info.cbMaxMessage = cbMaxMessage;
        info.dwCurrentMessages = static_cast<DWORD>(messages.size());
        info.dwMaxQueueMessages = highWater;
        info.wNumReaders = static_cast<WORD>(readers);
        info.wNumWriters = static_cast<WORD>(writers);
    }
};

// ReadMsgQueue once the handle is known to be a reader's end: waits for a message, or for the
// queue to break, through the side's own `wait(ready)`, then takes the message. ERROR_SUCCESS or
// the error that the call fails with; a message was taken on ERROR_SUCCESS and on
// ERROR_INSUFFICIENT_BUFFER, which loses the rest of it.
template <class Wait>
DWORD readFrom(MsgQueueCore& core, Wait&& wait, void* buffer, DWORD size, DWORD& read, DWORD* messageFlags)
{
    if (!wait([&core] { return !core.messages.empty() || core.brokenForReader(); }))
        return ERROR_TIMEOUT;
    if (core.messages.empty())
        return ERROR_PIPE_NOT_CONNECTED;
    return core.take(buffer, size, read, messageFlags) ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER;
}

// WriteMsgQueue once the handle is known to be a writer's end: waits for room, or for the queue
// to break, through the side's own `wait(ready)`, then queues the message. ERROR_SUCCESS or the
// error that the call fails with.
template <class Wait> DWORD writeTo(MsgQueueCore& core, Wait&& wait, std::span<const BYTE> bytes, DWORD messageFlags)
{
    if (core.tooLong(bytes.size()))
        return ERROR_INSUFFICIENT_BUFFER;
    if (!wait([&core] { return !core.full() || core.brokenForWriter(); }))
        return ERROR_TIMEOUT;
    if (core.brokenForWriter())
        return ERROR_PIPE_NOT_CONNECTED;
    core.push(bytes, messageFlags);
    return ERROR_SUCCESS;
}

}  // namespace velorin::kernel
