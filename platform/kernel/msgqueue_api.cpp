// Point-to-point message queues.
#include "kernel/api_call.hpp"
#include "kernel/msgqueue.h"
#include "kernel/winbase.h"

#include <algorithm>
#include <cstring>

using namespace velorin::kernel;

// The record as CE lays it out, which programs fill by offset.
static_assert(sizeof(MSGQUEUEOPTIONS) == 20);

namespace {

std::shared_ptr<MsgQueueEnd> queueEndOf(Kernel& k, HANDLE h)
{
    auto object = k.handlesLocked().find(h);
    if (!object || (object->kind() != ObjectKind::MsgQueueReader && object->kind() != ObjectKind::MsgQueueWriter))
        return nullptr;
    return objectAs<MsgQueueEnd>(std::move(object));
}

HANDLE openEnd(Kernel& k, std::shared_ptr<MsgQueueCore> core, bool reader)
{
    auto end = std::make_shared<MsgQueueEnd>(std::move(core), reader);
    k.signalLocked();  // a blocked peer may now have a partner
    return k.handlesLocked().add(end, k.scheduler().currentProcess());
}

bool validOptions(const MSGQUEUEOPTIONS* options)
{
    return options && options->dwSize == sizeof(MSGQUEUEOPTIONS);
}

}  // namespace

HANDLE CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions)
{
    return platformCall(
        "CreateMsgQueue", HANDLE{}, ERROR_OUTOFMEMORY,
        [&]() -> HANDLE {
            if (!validOptions(lpOptions) || lpOptions->cbMaxMessage == 0) {
                setLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            const bool reader = lpOptions->bReadAccess != FALSE;
            if (lpszName && *lpszName) {
                if (auto existing = k.namedQueueLocked(lpszName)) {
                    HANDLE h = openEnd(k, existing, reader);
                    setLastError(ERROR_ALREADY_EXISTS);
                    return h;
                }
            }
            auto core = std::make_shared<MsgQueueCore>();
            core->name = lpszName ? lpszName : L"";
            core->flags = lpOptions->dwFlags;
            core->maxMessages = lpOptions->dwMaxMessages;
            core->cbMaxMessage = lpOptions->cbMaxMessage;
            if (!core->name.empty())
                k.nameQueueLocked(core);
            setLastError(ERROR_SUCCESS);
            return openEnd(k, core, reader);
        },
        lpszName, lpOptions);
}

HANDLE OpenMsgQueue(HANDLE hSrcProc, HANDLE hMsgQ, LPMSGQUEUEOPTIONS lpOptions)
{
    return platformCall(
        "OpenMsgQueue", HANDLE{}, ERROR_INVALID_HANDLE,
        [&]() -> HANDLE {
            if (!validOptions(lpOptions)) {
                setLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            // Every process shares the one handle table, so the source process plays no part.
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            const auto end = queueEndOf(k, hMsgQ);
            if (!end) {
                setLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            return openEnd(k, end->core, lpOptions->bReadAccess != FALSE);
        },
        hSrcProc, hMsgQ, lpOptions);
}

BOOL ReadMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbBufferSize, LPDWORD lpNumberOfBytesRead, DWORD dwTimeout,
                  DWORD* pdwFlags)
{
    return platformCall(
        "ReadMsgQueue", FALSE, ERROR_INVALID_HANDLE,
        [&]() -> BOOL {
            if (!lpBuffer || cbBufferSize == 0 || !lpNumberOfBytesRead) {
                setLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            Kernel& k = Kernel::current();
            std::unique_lock lock(k.mutex());
            const auto end = queueEndOf(k, hMsgQ);
            if (!end || !end->reader) {
                setLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            const auto& core = end->core;
            const auto broken = [&] { return core->writers == 0 && !core->allowBroken(); };
            const std::function<bool()> ready = [&] { return !core->messages.empty() || broken(); };
            if (!k.waitForLocked(lock, ready, dwTimeout)) {
                setLastError(ERROR_TIMEOUT);
                return FALSE;
            }
            if (core->messages.empty()) {
                setLastError(ERROR_PIPE_NOT_CONNECTED);
                return FALSE;
            }
            QueuedMessage message = std::move(core->messages.front());
            core->messages.pop_front();
            k.signalLocked();  // a writer may have room now
            const auto size = static_cast<DWORD>(message.bytes.size());
            const DWORD copied = std::min(size, cbBufferSize);
            std::memcpy(lpBuffer, message.bytes.data(), copied);
            *lpNumberOfBytesRead = copied;
            if (pdwFlags)
                *pdwFlags = message.flags;
            if (copied < size) {
                // The message is taken all the same; the rest of it is lost.
                setLastError(ERROR_INSUFFICIENT_BUFFER);
                return FALSE;
            }
            return TRUE;
        },
        hMsgQ, lpBuffer, cbBufferSize, lpNumberOfBytesRead, dwTimeout, pdwFlags);
}

BOOL WriteMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbDataSize, DWORD dwTimeout, DWORD dwFlags)
{
    return platformCall(
        "WriteMsgQueue", FALSE, ERROR_INVALID_HANDLE,
        [&]() -> BOOL {
            if (!lpBuffer || cbDataSize == 0) {
                setLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            Kernel& k = Kernel::current();
            std::unique_lock lock(k.mutex());
            const auto end = queueEndOf(k, hMsgQ);
            if (!end || end->reader) {
                setLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            const auto& core = end->core;
            if (cbDataSize > core->cbMaxMessage) {
                setLastError(ERROR_INSUFFICIENT_BUFFER);
                return FALSE;
            }
            const auto broken = [&] { return core->readers == 0 && !core->allowBroken(); };
            const std::function<bool()> ready = [&] { return !core->full() || broken(); };
            if (!k.waitForLocked(lock, ready, dwTimeout)) {
                setLastError(ERROR_TIMEOUT);
                return FALSE;
            }
            if (broken()) {
                setLastError(ERROR_PIPE_NOT_CONNECTED);
                return FALSE;
            }
            check(!core->full(), "a message queue holds no more than its limit");
            const auto* bytes = static_cast<const BYTE*>(lpBuffer);
            core->messages.push_back(QueuedMessage{std::vector<BYTE>(bytes, bytes + cbDataSize), dwFlags});
            core->highWater = std::max(core->highWater, static_cast<DWORD>(core->messages.size()));
            k.signalLocked();
            return TRUE;
        },
        hMsgQ, lpBuffer, cbDataSize, dwTimeout, dwFlags);
}

BOOL GetMsgQueueInfo(HANDLE hMsgQ, LPMSGQUEUEINFO lpInfo)
{
    return platformCall(
        "GetMsgQueueInfo", FALSE, ERROR_INVALID_HANDLE,
        [&]() -> BOOL {
            if (!lpInfo || lpInfo->dwSize < sizeof(MSGQUEUEINFO)) {
                setLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            const auto end = queueEndOf(k, hMsgQ);
            if (!end) {
                setLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            const auto& core = *end->core;
            lpInfo->dwFlags = core.flags;
            lpInfo->dwMaxMessages = core.maxMessages;
            lpInfo->cbMaxMessage = core.cbMaxMessage;
            lpInfo->dwCurrentMessages = static_cast<DWORD>(core.messages.size());
            lpInfo->dwMaxQueueMessages = core.highWater;
            lpInfo->wNumReaders = static_cast<WORD>(core.readers);
            lpInfo->wNumWriters = static_cast<WORD>(core.writers);
            return TRUE;
        },
        hMsgQ, lpInfo);
}

BOOL CloseMsgQueue(HANDLE hMsgQ)
{
    return platformCall(
        "CloseMsgQueue", FALSE, ERROR_INVALID_HANDLE,
        [&]() -> BOOL {
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            if (!queueEndOf(k, hMsgQ) || !k.handlesLocked().close(hMsgQ)) {
                setLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            k.signalLocked();
            return TRUE;
        },
        hMsgQ);
}
