// The watcher thread and its hidden window, the subscriptions it writes into, and reports
// announced to every process's watcher; RequestPowerNotifications and StopPowerNotifications.
#include "power_watcher.hpp"

#include "battery.hpp"
#include "msg_queue.hpp"
#include "shared_device.hpp"

#include <pm.h>

#include <memory>
#include <mutex>
#include <vector>

namespace velorin::ce {

namespace {

constexpr wchar_t kWatcherClass[] = L"VelorinDevicePowerWatcher";
// The message that carries a report of the device's battery driver to every watcher, with the
// reading it reported (the line status in the low byte of wParam, the percentage above it).
constexpr wchar_t kDeviceReportMessage[] = L"VelorinDevicePowerReport";
// A charger that the system does not announce (Wine does not) is still seen this often.
constexpr UINT kMachinePollMs = 2000;
constexpr UINT_PTR kMachinePollTimer = 1;
constexpr UINT kAnnounceTimeoutMs = 5000;

struct Subscription {
    std::shared_ptr<QueueCore> queue;
    DWORD types = 0;
    HANDLE token = nullptr;
};

std::mutex g_mutex;  // the subscriptions
std::vector<Subscription> g_subscriptions;
// The start alone: the watcher's first report, made while the starter waits, takes g_mutex.
std::mutex g_startMutex;
HANDLE g_thread = nullptr;
HANDLE g_ready = nullptr;  // set once the watcher's window exists
DWORD g_threadId = 0;
HWND g_window = nullptr;

void deliverLocally(PowerReading reading)
{
    const PowerInfoMessage message = powerInfoMessage(reading);
    std::lock_guard lock(g_mutex);
    for (const Subscription& s : g_subscriptions) {
        if (s.types & PBT_POWERINFOCHANGE)
            offerMessage(*s.queue, message.data(), static_cast<DWORD>(message.size()));
    }
}

// The machine's charger, in the host, while no scenario drives the device: a change is a
// report of the device's battery driver.
void followMachine()
{
    if (hostsPowerManager())
        reportMachinePower(machineReading());
}

UINT deviceReportMessage()
{
    static const UINT message = RegisterWindowMessageW(kDeviceReportMessage);
    return message;
}

LRESULT CALLBACK watcherProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == deviceReportMessage() && message != 0) {
        deliverLocally(PowerReading{static_cast<BYTE>(wParam & 0xFF), static_cast<BYTE>((wParam >> 8) & 0xFF)});
        return TRUE;
    }
    switch (message) {
    case WM_POWERBROADCAST:
        // The system's: the machine's charger may have changed.
        if (wParam == PBT_APMPOWERSTATUSCHANGE)
            followMachine();
        return TRUE;
    case WM_TIMER:
        followMachine();
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

DWORD WINAPI watcherThread(LPVOID ready)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = watcherProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWatcherClass;
    RegisterClassW(&windowClass);
    // Top-level, so that the system's broadcasts reach it; never shown.
    g_window = CreateWindowExW(0, kWatcherClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (g_window && hostsPowerManager()) {
        followMachine();
        SetTimer(g_window, kMachinePollTimer, kMachinePollMs, nullptr);
    }
    SetEvent(static_cast<HANDLE>(ready));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    if (g_window)
        DestroyWindow(g_window);
    return 0;
}

BOOL CALLBACK announceTo(HWND hwnd, LPARAM reading)
{
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    if (lstrcmpW(name, kWatcherClass) == 0) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(hwnd, deviceReportMessage(), static_cast<WPARAM>(reading), 0, SMTO_NORMAL,
                            kAnnounceTimeoutMs, &result);
    }
    return TRUE;
}

}  // namespace

void launchPowerWatcher()
{
    std::lock_guard lock(g_startMutex);
    if (g_thread)
        return;
    g_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_thread = CreateThread(nullptr, 0, watcherThread, g_ready, 0, &g_threadId);
}

void startPowerWatcher()
{
    launchPowerWatcher();
    if (!g_thread)
        return;
    const HANDLE waits[] = {g_ready, g_thread};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
}

void stopPowerWatcher()
{
    std::lock_guard lock(g_startMutex);
    if (!g_thread)
        return;
    PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(g_thread, 1000);
    CloseHandle(g_thread);
    CloseHandle(g_ready);
    g_thread = g_ready = nullptr;
}

void announceReport(PowerReading reading)
{
    EnumWindows(announceTo, static_cast<LPARAM>(reading.acLineStatus | (reading.percent << 8)));
}

}  // namespace velorin::ce

using namespace velorin::ce;

HANDLE WINAPI RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags)
{
    const std::shared_ptr<QueueCore> queue = queueOf(hMsgQ);
    if (!queue) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (Flags == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // The watcher is there before the first message, so that no report falls between.
    startPowerWatcher();
    // A real handle, so that it is unique and closes as one.
    const HANDLE token = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!token) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    countWriter(*queue, +1);
    {
        std::lock_guard lock(g_mutex);
        g_subscriptions.push_back(Subscription{queue, Flags, token});
    }
    // A new subscriber learns the present state at once.
    if (Flags & PBT_POWERINFOCHANGE) {
        const PowerInfoMessage message = powerInfoMessage(currentReading());
        offerMessage(*queue, message.data(), static_cast<DWORD>(message.size()));
    }
    return token;
}

BOOL WINAPI StopPowerNotifications(HANDLE h)
{
    std::shared_ptr<QueueCore> queue;
    {
        std::lock_guard lock(g_mutex);
        for (auto it = g_subscriptions.begin(); it != g_subscriptions.end(); ++it) {
            if (it->token == h) {
                queue = it->queue;
                g_subscriptions.erase(it);
                break;
            }
        }
    }
    if (!queue) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    countWriter(*queue, -1);
    CloseHandle(h);
    return TRUE;
}
