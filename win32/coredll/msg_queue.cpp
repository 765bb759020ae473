// CE's message queues on desktop Win32. Each queue keeps two manual-reset events, one
// signalled while a message waits and one while there is room; a reader's handle is a
// duplicate of the first and a writer's of the second, so either end is a real handle that
// WaitForMultipleObjects takes.
#include "msg_queue.hpp"

#include <msgqueue.h>

#include "platform/kernel/msg_queue_core.hpp"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

// CE's layout, which programs fill by offset.
static_assert(sizeof(MSGQUEUEOPTIONS) == 20, "MSGQUEUEOPTIONS lost CE's layout");

namespace velorin::ce {

// The device's own queue, with the events that make its ends waitable here.
struct QueueCore : kernel::MsgQueueCore {
    HANDLE readable = nullptr;
    HANDLE writable = nullptr;

    // Called with the lock held after every change.
    void updateEvents() const
    {
        messages.empty() ? ResetEvent(readable) : SetEvent(readable);
        full() ? ResetEvent(writable) : SetEvent(writable);
    }
    ~QueueCore()
    {
        CloseHandle(readable);
        CloseHandle(writable);
    }
};

namespace {

struct QueueEnd {
    std::shared_ptr<QueueCore> core;
    bool reader = false;
};

std::mutex g_mutex;
std::map<HANDLE, QueueEnd> g_ends;
std::map<std::wstring, std::weak_ptr<QueueCore>> g_named;

// Called with the lock held.
HANDLE openEnd(const std::shared_ptr<QueueCore>& core, bool reader)
{
    HANDLE end = nullptr;
    const HANDLE self = GetCurrentProcess();
    if (!DuplicateHandle(self, reader ? core->readable : core->writable, self, &end, SYNCHRONIZE, FALSE, 0))
        return nullptr;
    ++(reader ? core->readers : core->writers);
    g_ends[end] = QueueEnd{core, reader};
    return end;
}

// Waits, without the lock, until `ready` holds or the time-out passes; false on the time-out.
template <class Ready>
bool waitUntil(std::unique_lock<std::mutex>& lock, HANDLE event, DWORD timeout, Ready ready)
{
    const ULONGLONG start = GetTickCount64();
    while (!ready()) {
        DWORD left = INFINITE;
        if (timeout != INFINITE) {
            const ULONGLONG spent = GetTickCount64() - start;
            if (spent >= timeout)
                return false;
            left = static_cast<DWORD>(timeout - spent);
        }
        lock.unlock();
        // Woken by the event or, for a broken queue that nothing will signal, by a short poll.
        WaitForSingleObject(event, std::min<DWORD>(left, 50));
        lock.lock();
    }
    return true;
}

}  // namespace

std::shared_ptr<QueueCore> queueOf(HANDLE end)
{
    std::lock_guard lock(g_mutex);
    const auto it = g_ends.find(end);
    return it == g_ends.end() ? nullptr : it->second.core;
}

bool offerMessage(QueueCore& queue, const void* bytes, DWORD size)
{
    std::lock_guard lock(g_mutex);
    if (!queue.offer({static_cast<const BYTE*>(bytes), size}))
        return false;
    queue.updateEvents();
    return true;
}

void countWriter(QueueCore& queue, int change)
{
    std::lock_guard lock(g_mutex);
    queue.writers += change;
}

}  // namespace velorin::ce

using namespace velorin::ce;

HANDLE WINAPI CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions)
{
    if (!velorin::kernel::validNewQueueOptions(lpOptions)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(g_mutex);
    const bool reader = lpOptions->bReadAccess != FALSE;
    const std::wstring name = lpszName ? lpszName : L"";
    if (!name.empty()) {
        if (const auto existing = g_named[name].lock()) {
            const HANDLE end = openEnd(existing, reader);
            SetLastError(ERROR_ALREADY_EXISTS);
            return end;
        }
    }
    auto core = std::make_shared<QueueCore>();
    core->setUp(name, *lpOptions);
    core->readable = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    core->writable = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    if (!core->readable || !core->writable) {
        SetLastError(ERROR_OUTOFMEMORY);
        return nullptr;
    }
    if (!name.empty())
        g_named[name] = core;
    const HANDLE end = openEnd(core, reader);
    if (end)
        SetLastError(ERROR_SUCCESS);
    return end;
}

HANDLE WINAPI OpenMsgQueue(HANDLE, HANDLE hMsgQ, LPMSGQUEUEOPTIONS lpOptions)
{
    if (!velorin::kernel::validQueueOptions(lpOptions)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(g_mutex);
    const auto it = g_ends.find(hMsgQ);
    if (it == g_ends.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return openEnd(it->second.core, lpOptions->bReadAccess != FALSE);
}

BOOL WINAPI ReadMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbBufferSize, LPDWORD lpNumberOfBytesRead,
                         DWORD dwTimeout, DWORD* pdwFlags)
{
    if (!velorin::kernel::validReadArguments(lpBuffer, cbBufferSize, lpNumberOfBytesRead)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::unique_lock lock(g_mutex);
    const auto it = g_ends.find(hMsgQ);
    if (it == g_ends.end() || !it->second.reader) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const std::shared_ptr<QueueCore> core = it->second.core;
    const DWORD error = velorin::kernel::readFrom(
        *core, [&](auto ready) { return waitUntil(lock, core->readable, dwTimeout, ready); }, lpBuffer, cbBufferSize,
        *lpNumberOfBytesRead, pdwFlags);
    if (error == ERROR_SUCCESS || error == ERROR_INSUFFICIENT_BUFFER)
        core->updateEvents();
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI WriteMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbDataSize, DWORD dwTimeout, DWORD dwFlags)
{
    if (!velorin::kernel::validWriteArguments(lpBuffer, cbDataSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::unique_lock lock(g_mutex);
    const auto it = g_ends.find(hMsgQ);
    if (it == g_ends.end() || it->second.reader) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const std::shared_ptr<QueueCore> core = it->second.core;
    const DWORD error = velorin::kernel::writeTo(
        *core, [&](auto ready) { return waitUntil(lock, core->writable, dwTimeout, ready); },
        {static_cast<const BYTE*>(lpBuffer), cbDataSize}, dwFlags);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    core->updateEvents();
    return TRUE;
}

BOOL WINAPI GetMsgQueueInfo(HANDLE hMsgQ, LPMSGQUEUEINFO lpInfo)
{
    if (!lpInfo || lpInfo->dwSize != sizeof(MSGQUEUEINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard lock(g_mutex);
    const auto it = g_ends.find(hMsgQ);
    if (it == g_ends.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    it->second.core->describe(*lpInfo);
    return TRUE;
}

BOOL WINAPI CloseMsgQueue(HANDLE hMsgQ)
{
    std::lock_guard lock(g_mutex);
    const auto it = g_ends.find(hMsgQ);
    if (it == g_ends.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    QueueCore& core = *it->second.core;
    --(it->second.reader ? core.readers : core.writers);
    if (!core.name.empty() && core.readers + core.writers == 0)
        g_named.erase(core.name);
    g_ends.erase(it);
    CloseHandle(hMsgQ);
    return TRUE;
}
