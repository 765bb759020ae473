#include "device/power_monitor.h"

#include "device/power_source.h"
#include "screen/charge_screen_messages.h"

#include <cstring>

namespace {

constexpr DWORD kMessageBytes = sizeof(POWER_BROADCAST) + sizeof(POWER_BROADCAST_POWER_INFO);
constexpr std::size_t kPayloadOffset = offsetof(POWER_BROADCAST, SystemPowerState);
// A wait or a read that fails is tried again only after this, so the loop never spins.
constexpr DWORD kFailedWaitPauseMs = 1000;

BYTE BatteryPercent()
{
    const PFN_GetSystemPowerStatusEx2 status = g_pfnGetSystemPowerStatusEx2.load(std::memory_order_acquire);
    SYSTEM_POWER_STATUS_EX2 record{};
    if (status && status(&record, sizeof record, TRUE))
        return record.BatteryLifePercent;
    return 0;
}

}  // namespace

void LookUpBatteryStatusFunction()
{
    HMODULE coredll = LoadLibraryW(L"coredll.dll");
    if (!coredll)
        return;
    // The process links against the system library, so the function outlives this handle.
    // Through the generic function type, as a looked-up export is cast to its own.
    const auto generic = reinterpret_cast<void (*)()>(GetProcAddressW(coredll, L"GetSystemPowerStatusEx2"));
    g_pfnGetSystemPowerStatusEx2.store(reinterpret_cast<PFN_GetSystemPowerStatusEx2>(generic),
                                       std::memory_order_release);
    FreeLibrary(coredll);
}

void UpdatePowerSource(HWND window, BYTE lineStatus)
{
    if (lineStatus != POWER_SOURCE_BATTERY && lineStatus != POWER_SOURCE_AC)
        return;
    // Compare-and-exchange, so the window's Dismiss (3) stored meanwhile is never overwritten by
    // a decision made on the value before it.
    BYTE before = g_powerSource.load(std::memory_order_acquire);
    do {
        if (lineStatus == POWER_SOURCE_AC && before == POWER_SOURCE_DISMISSED)
            return;
    } while (
        !g_powerSource.compare_exchange_weak(before, lineStatus, std::memory_order_acq_rel, std::memory_order_acquire));
    if (before == POWER_SOURCE_DISMISSED) {
        // The sequencer already ran for the Dismiss; the next charger is a change again.
        g_lastReportedSource.store(POWER_SOURCE_BATTERY, std::memory_order_release);
        return;
    }
    const BYTE reported = g_lastReportedSource.load(std::memory_order_relaxed);
    if (reported == lineStatus)
        return;
    // Both bytes are stored before the post, so its handler sees them.
    g_lastReportedSource.store(lineStatus, std::memory_order_release);
    // A request that cannot be posted is asked again at the next reading of this source;
    // otherwise the change would wait for the next change of the line.
    if (!PostMessageW(window, WM_SEQ_ADVANCE, 0, 1))
        g_lastReportedSource.store(reported, std::memory_order_release);
}

DWORD WINAPI PowerMonitorThread(LPVOID param)
{
    const HWND window = static_cast<HWND>(param);

    MSGQUEUEOPTIONS options;
    std::memset(&options, 0, sizeof options);
    options.dwSize = sizeof options;
    options.dwFlags = 0;
    options.dwMaxMessages = 0;
    options.cbMaxMessage = kMessageBytes;
    options.bReadAccess = TRUE;
    const HANDLE queue = CreateMsgQueue(nullptr, &options);
    g_powerQueue.store(queue, std::memory_order_release);
    HANDLE notifications = nullptr;
    if (!queue) {
        g_stopMonitor.store(1, std::memory_order_release);
    } else {
        notifications = RequestPowerNotifications(queue, PBT_POWERINFOCHANGE);
        if (!notifications)
            g_stopMonitor.store(1, std::memory_order_release);
    }
    // The stop event is taken once; the window made it before starting this thread.
    const HANDLE waitSet[2] = {queue, g_stopEvent.load(std::memory_order_acquire)};

    while (!g_stopMonitor.load(std::memory_order_acquire)) {
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
        std::memcpy(&info, message + kPayloadOffset, sizeof info);
        const BYTE percent = BatteryPercent();
        UpdatePowerSource(window, info.bACLineStatus);
        SetWindowLongPtrW(window, GWLP_USERDATA, percent);
    }

    if (notifications)
        StopPowerNotifications(notifications);
    if (queue) {
        CloseMsgQueue(queue);
        g_powerQueue.store(nullptr, std::memory_order_release);
    }
    return 0;
}
