// The power monitor thread: the battery status read through its looked-up function, and the loop
// that turns the power manager's notifications into the power source and the sequencer's requests.
#include "services/power_monitor.h"

#include "services/power_source.h"
#include "services/sequencer_requests.h"

#include <stddef.h>
#include <string.h>

namespace {

const DWORD kMessageBytes = sizeof(POWER_BROADCAST) + sizeof(POWER_BROADCAST_POWER_INFO);
const size_t kPayloadOffset = offsetof(POWER_BROADCAST, SystemPowerState);
// A wait or a read that fails is tried again only after this, so the loop never spins.
const DWORD kFailedWaitPauseMs = 1000;

BYTE BatteryPercent()
{
    const PFN_GetSystemPowerStatusEx2 status = g_pfnGetSystemPowerStatusEx2;
    SYSTEM_POWER_STATUS_EX2 record;
    memset(&record, 0, sizeof record);
    if (status != NULL && status(&record, sizeof record, TRUE))
        return record.BatteryLifePercent;
    return 0;
}

}  // namespace

void LookUpBatteryStatusFunction()
{
    HMODULE coredll = LoadLibraryW(L"coredll.dll");
    if (coredll == NULL)
        return;
    // The process links against the system library, so the function outlives this handle.
    // Through the generic function type, as a looked-up export is cast to its own.
    typedef void (*GenericFunction)();
    const GenericFunction generic =
        reinterpret_cast<GenericFunction>(GetProcAddressW(coredll, L"GetSystemPowerStatusEx2"));
    g_pfnGetSystemPowerStatusEx2 = reinterpret_cast<PFN_GetSystemPowerStatusEx2>(generic);
    FreeLibrary(coredll);
}

void UpdatePowerSource(HWND window, BYTE lineStatus)
{
    if (lineStatus != POWER_SOURCE_BATTERY && lineStatus != POWER_SOURCE_AC)
        return;
    // Compare-and-exchange, so the window's Dismiss (3) stored meanwhile is never overwritten by
    // a decision made on the value before it.
    LONG before = LoadShared(&g_powerSource);
    for (;;) {
        if (lineStatus == POWER_SOURCE_AC && before == POWER_SOURCE_DISMISSED)
            return;
        const LONG seen = InterlockedCompareExchange(&g_powerSource, lineStatus, before);
        if (seen == before)
            break;
        before = seen;
    }
    if (before == POWER_SOURCE_DISMISSED) {
        // The sequencer already ran for the Dismiss; the next charger is a change again.
        StoreShared(&g_lastReportedSource, POWER_SOURCE_BATTERY);
        return;
    }
    const LONG reported = LoadShared(&g_lastReportedSource);
    if (reported == lineStatus)
        return;
    // Both words are stored before the post, so its handler sees them.
    StoreShared(&g_lastReportedSource, lineStatus);
    // A request that cannot be posted is asked again at the next reading of this source;
    // otherwise the change would wait for the next change of the line.
    if (!PostMessageW(window, WM_SEQ_ADVANCE, 0, SEQ_RUN_REQUEST))
        StoreShared(&g_lastReportedSource, reported);
}

DWORD WINAPI PowerMonitorThread(LPVOID param)
{
    const HWND window = static_cast<HWND>(param);

    MSGQUEUEOPTIONS options;
    memset(&options, 0, sizeof options);
    options.dwSize = sizeof options;
    options.dwFlags = 0;
    options.dwMaxMessages = 0;
    options.cbMaxMessage = kMessageBytes;
    options.bReadAccess = TRUE;
    const HANDLE queue = CreateMsgQueue(NULL, &options);
    g_powerQueue = queue;
    HANDLE notifications = NULL;
    if (queue == NULL) {
        StoreShared(&g_stopMonitor, 1);
    } else {
        notifications = RequestPowerNotifications(queue, PBT_POWERINFOCHANGE);
        if (notifications == NULL)
            StoreShared(&g_stopMonitor, 1);
    }
    // The stop event is taken once; the window made it before starting this thread.
    const HANDLE waitSet[2] = {queue, g_stopEvent};

    while (!LoadShared(&g_stopMonitor)) {
        const DWORD woken = WaitForMultipleObjects(2, waitSet, FALSE, INFINITE);
        if (woken == WAIT_FAILED) {
            Sleep(kFailedWaitPauseMs);
            continue;
        }
        if (woken != WAIT_OBJECT_0)
            continue;
        BYTE message[kMessageBytes];
        DWORD bytesRead = 0;
        DWORD flags = 0;
        if (!ReadMsgQueue(queue, message, sizeof message, &bytesRead, 0, &flags)) {
            // The message may still be there, and the queue still signalled: without a pause a
            // read that keeps failing would spin as a failing wait would.
            Sleep(kFailedWaitPauseMs);
            continue;
        }
        POWER_BROADCAST_POWER_INFO info;
        memcpy(&info, message + kPayloadOffset, sizeof info);
        const BYTE percent = BatteryPercent();
        UpdatePowerSource(window, info.bACLineStatus);
        SetWindowLongPtrW(window, GWLP_USERDATA, percent);
    }

    if (notifications != NULL)
        StopPowerNotifications(notifications);
    if (queue != NULL) {
        CloseMsgQueue(queue);
        g_powerQueue = NULL;
    }
    return 0;
}
