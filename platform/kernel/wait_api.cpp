// Waits, sleeping, the tick count and the last error.
#include "kernel/api_call.hpp"
#include "kernel/winbase.h"

using namespace velorin::kernel;

namespace {

DWORD waitOn(const HANDLE* handles, DWORD count, bool waitAll, DWORD milliseconds)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        setLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    Kernel& k = Kernel::current();
    std::unique_lock lock(k.mutex());
    std::vector<std::shared_ptr<KernelObject>> objects;
    for (DWORD i = 0; i < count; ++i) {
        auto object = k.handlesLocked().find(handles[i]);
        if (!object) {
            setLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(std::move(object));
    }
    return k.waitLocked(lock, objects, waitAll, milliseconds);
}

}  // namespace

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    return platformCall(
        "WaitForSingleObject", WAIT_FAILED, ERROR_INVALID_HANDLE,
        [&] { return waitOn(&hHandle, 1, false, dwMilliseconds); }, hHandle, dwMilliseconds);
}

DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL fWaitAll, DWORD dwMilliseconds)
{
    return platformCall(
        "WaitForMultipleObjects", WAIT_FAILED, ERROR_INVALID_HANDLE,
        [&]() -> DWORD {
            // CE waits for any one object only: fWaitAll must be FALSE, where desktop Windows
            // would wait for them all.
            if (fWaitAll) {
                setLastError(ERROR_INVALID_PARAMETER);
                return WAIT_FAILED;
            }
            return waitOn(lpHandles, nCount, false, dwMilliseconds);
        },
        nCount, lpHandles, fWaitAll, dwMilliseconds);
}

void Sleep(DWORD dwMilliseconds)
{
    platformCallVoid(
        "Sleep",
        [&] {
            Kernel& k = Kernel::current();
            std::unique_lock lock(k.mutex());
            // Sleep(0) gives the other runnable threads their turn before this one goes on.
            static const std::function<bool()> never = [] { return false; };
            k.scheduler().block(lock, never, deadlineAfter(k.scheduler().nowLocked(), dwMilliseconds));
        },
        dwMilliseconds);
}

DWORD GetTickCount()
{
    return platformCall("GetTickCount", DWORD{0}, ERROR_SUCCESS,
                        [] { return static_cast<DWORD>(Kernel::current().scheduler().now()); });
}

DWORD GetLastError()
{
    // Not traced: the trace's own bookkeeping must not be what a program reads back.
    return lastError();
}

void SetLastError(DWORD dwErrCode)
{
    setLastError(dwErrCode);
}
