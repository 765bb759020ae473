// Events, unnamed and named.
#include "kernel/api_call.hpp"
#include "kernel/winbase.h"

using namespace velorin::kernel;

namespace {

std::shared_ptr<EventObject> eventOf(Kernel& k, HANDLE h)
{
    auto object = k.handlesLocked().find(h);
    if (!object || object->kind() != ObjectKind::Event)
        return nullptr;
    return objectAs<EventObject>(std::move(object));
}

BOOL modify(HANDLE hEvent, DWORD func)
{
    Kernel& k = Kernel::current();
    std::lock_guard lock(k.mutex());
    const auto event = eventOf(k, hEvent);
    if (!event) {
        setLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    switch (func) {
    case EVENT_SET:
        event->set();
        break;
    case EVENT_RESET:
        event->state = false;
        break;
    case EVENT_PULSE:
        event->pulse();
        break;
    default:
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (func != EVENT_RESET && !event->name.empty())
        k.effectLocked("event.signal", velorin::trace::quoted(event->name));
    k.signalLocked();
    return TRUE;
}

}  // namespace

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState, LPCWSTR lpName)
{
    return platformCall(
        "CreateEventW", HANDLE{}, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> HANDLE {
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            const ProcessId pid = k.scheduler().currentProcess();
            if (lpName && *lpName) {
                if (auto existing = k.namedEventLocked(lpName)) {
                    // The existing event keeps its own type and state.
                    HANDLE h = k.handlesLocked().add(existing, pid);
                    setLastError(ERROR_ALREADY_EXISTS);
                    return h;
                }
            }
            auto event = std::make_shared<EventObject>(bManualReset != FALSE, bInitialState != FALSE,
                                                       lpName ? std::wstring(lpName) : std::wstring());
            if (!event->name.empty())
                k.nameEventLocked(event);
            setLastError(ERROR_SUCCESS);
            return k.handlesLocked().add(event, pid);
        },
        lpEventAttributes, bManualReset, bInitialState, lpName);
}

HANDLE OpenEventW(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCWSTR lpName)
{
    return platformCall(
        "OpenEventW", HANDLE{}, ERROR_FILE_NOT_FOUND,
        [&]() -> HANDLE {
            // No name at all is the caller's error; an empty one names no event, as on the desktop,
            // where it finds the folder of names instead.
            if (!lpName || !*lpName) {
                setLastError(lpName ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            auto existing = k.namedEventLocked(lpName);
            if (!existing) {
                setLastError(ERROR_FILE_NOT_FOUND);
                return nullptr;
            }
            return k.handlesLocked().add(existing, k.scheduler().currentProcess());
        },
        dwDesiredAccess, bInheritHandle, lpName);
}

BOOL EventModify(HANDLE hEvent, DWORD func)
{
    return platformCall(
        "EventModify", FALSE, ERROR_INVALID_HANDLE, [&] { return modify(hEvent, func); }, hEvent, func);
}

BOOL SetEvent(HANDLE hEvent)
{
    return platformCall(
        "SetEvent", FALSE, ERROR_INVALID_HANDLE, [&] { return modify(hEvent, EVENT_SET); }, hEvent);
}

BOOL ResetEvent(HANDLE hEvent)
{
    return platformCall(
        "ResetEvent", FALSE, ERROR_INVALID_HANDLE, [&] { return modify(hEvent, EVENT_RESET); }, hEvent);
}

BOOL PulseEvent(HANDLE hEvent)
{
    return platformCall(
        "PulseEvent", FALSE, ERROR_INVALID_HANDLE, [&] { return modify(hEvent, EVENT_PULSE); }, hEvent);
}
