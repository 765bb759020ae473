// Point-to-point message queues.
#include "kernel/api_call.hpp"
#include "kernel/msgqueue.h"
#include "kernel/winbase.h"

#include <functional>

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

}  // namespace

HANDLE CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions)
{
    return platformCall(
        "CreateMsgQueue", HANDLE{}, ERROR_OUTOFMEMORY,
        [&]() -> HANDLE {
            if (!validNewQueueOptions(lpOptions)) {
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
            core->setUp(lpszName ? lpszName : L"", *lpOptions);
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
            if (!validQueueOptions(lpOptions)) {
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
            if (!validReadArguments(lpBuffer, cbBufferSize, lpNumberOfBytesRead)) {
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
            const DWORD error = readFrom(
                *end->core, [&](const std::function<bool()>& ready) { return k.waitForLocked(lock, ready, dwTimeout); },
                lpBuffer, cbBufferSize, *lpNumberOfBytesRead, pdwFlags);
            if (error == ERROR_SUCCESS || error == ERROR_INSUFFICIENT_BUFFER)
                k.signalLocked();  // a writer may have room now
            if (error != ERROR_SUCCESS) {
                setLastError(error);
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
            if (!validWriteArguments(lpBuffer, cbDataSize)) {
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
            const DWORD error = writeTo(
                *end->core, [&](const std::function<bool()>& ready) { return k.waitForLocked(lock, ready, dwTimeout); },
                {static_cast<const BYTE*>(lpBuffer), cbDataSize}, dwFlags);
            if (error != ERROR_SUCCESS) {
                setLastError(error);
                return FALSE;
            }
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
            end->core->describe(*lpInfo);
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
