// The power manager's event watcher, the backlight worked out from its state, level and limit,
// and DevicePowerNotify and CeSetSystemPowerState on the shared state.
#include "power_manager.hpp"

#include "battery.hpp"
#include "shared_device.hpp"

#include <pm.h>

#include <algorithm>
#include <cwchar>
#include <string>

namespace velorin::ce {

namespace {

constexpr wchar_t kActivityEvent[] = L"PowerManager/ActivityTimer/SystemActivity";
constexpr wchar_t kReloadEvent[] = L"PowerManager/ReloadActivityTimeouts";
constexpr wchar_t kBacklightDevice[] = L"BKL1:";
constexpr wchar_t kBacklightKey[] = L"ControlPanel\\BackLight";
constexpr LONG kMaxBacklightLevel = 10;
constexpr LONG kDimLevel = 1;

enum SystemState : LONG { kOn = 0, kUserIdle = 1, kSuspend = 2 };
const char* const kStateNames[] = {"On", "UserIdle", "Suspend"};

HANDLE g_events[2] = {};
HANDLE g_stop = nullptr;
HANDLE g_thread = nullptr;

bool readDword(const wchar_t* name, DWORD& value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kBacklightKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof value;
    DWORD type = REG_NONE;
    const LONG read = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value;
}

// What the user sees of the backlight, from its power state, its level and what the power
// manager allows now; a change is traced. Called with the device locked.
void updateBacklight(DeviceState& state)
{
    LONG on = 1;
    LONG level = state.backlightLevel;
    DWORD useDim = 0;
    const bool dimmed = state.systemState == kUserIdle && readDword(L"UseDim", useDim) && useDim != 0;
    if (state.backlightState >= D2 || state.systemState == kSuspend) {
        on = 0;
        level = 0;
    } else if (state.backlightState == D1 || dimmed) {
        level = std::min(level, kDimLevel);
    }
    if (on == state.seenOn && level == state.seenLevel)
        return;
    state.seenOn = on;
    state.seenLevel = level;
    traceEffect("backlight", "on=" + std::to_string(on) + " level=" + std::to_string(level));
}

// Called with the device locked.
void enterState(DeviceState& state, LONG systemState)
{
    if (state.systemState == systemState)
        return;
    state.systemState = systemState;
    traceEffect("pm.state", kStateNames[systemState]);
    updateBacklight(state);
}

// The level that D0 reads for the present line, taken as a signed number; none when missing.
bool readBacklightLevel(bool onAc, LONG& level)
{
    DWORD value = 0;
    if (!readDword(onAc ? L"AcBacklightLevel" : L"BatteryBacklightLevel", value))
        return false;
    level = std::clamp(static_cast<LONG>(value), LONG{0}, kMaxBacklightLevel);
    return true;
}

DWORD WINAPI eventWatcher(LPVOID)
{
    const HANDLE waits[] = {g_events[0], g_events[1], g_stop};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0) {
            traceEffect("event.signal", "\"PowerManager/ActivityTimer/SystemActivity\"");
            DeviceLock state;
            enterState(*state, kOn);
        } else if (woken == WAIT_OBJECT_0 + 1) {
            traceEffect("event.signal", "\"PowerManager/ReloadActivityTimeouts\"");
        } else {
            return 0;
        }
    }
}

bool sameNoCase(const wchar_t* a, const wchar_t* b)
{
    return _wcsicmp(a, b) == 0;
}

}  // namespace

void startPowerManager()
{
    if (g_thread)
        return;
    // Auto-reset, as the device's: each signal wakes the watcher once.
    g_events[0] = CreateEventW(nullptr, FALSE, FALSE, kActivityEvent);
    g_events[1] = CreateEventW(nullptr, FALSE, FALSE, kReloadEvent);
    g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_events[0] && g_events[1] && g_stop)
        g_thread = CreateThread(nullptr, 0, eventWatcher, nullptr, 0, nullptr);
}

void stopPowerManager()
{
    if (g_thread) {
        SetEvent(g_stop);
        WaitForSingleObject(g_thread, 1000);
        CloseHandle(g_thread);
    }
    for (HANDLE h : {g_events[0], g_events[1], g_stop}) {
        if (h)
            CloseHandle(h);
    }
    g_thread = g_stop = g_events[0] = g_events[1] = nullptr;
}

}  // namespace velorin::ce

using namespace velorin::ce;

DWORD WINAPI DevicePowerNotify(PVOID pvDevice, CEDEVICE_POWER_STATE DeviceState, DWORD Flags)
{
    if (!pvDevice || !(Flags & POWER_NAME) || DeviceState < D0 || DeviceState > D4) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR_INVALID_PARAMETER;
    }
    if (!sameNoCase(static_cast<const wchar_t*>(pvDevice), kBacklightDevice)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return ERROR_FILE_NOT_FOUND;
    }
    DeviceLock state;
    traceEffect("device.power", "BKL1: D" + std::to_string(static_cast<int>(DeviceState)));
    state->backlightState = DeviceState;
    LONG level = 0;
    if (DeviceState == D0 && readBacklightLevel(state->acLineStatus == AC_LINE_ONLINE, level))
        state->backlightLevel = level;
    updateBacklight(*state);
    return ERROR_SUCCESS;
}

DWORD WINAPI CeSetSystemPowerState(LPCWSTR psState, DWORD StateFlags, DWORD Options)
{
    LONG target = -1;
    if (psState) {
        for (LONG s = kOn; s <= kSuspend; ++s) {
            const std::string name = kStateNames[s];
            if (sameNoCase(psState, std::wstring(name.begin(), name.end()).c_str()))
                target = s;
        }
    } else {
        switch (StateFlags & 0xFFFF0000) {
        case POWER_STATE_ON:
            target = kOn;
            break;
        case POWER_STATE_USERIDLE:
            target = kUserIdle;
            break;
        case POWER_STATE_SUSPEND:
            target = kSuspend;
            break;
        default:
            break;
        }
    }
    if (target < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR_INVALID_PARAMETER;
    }
    const char* const lowerNames[] = {"on", "useridle", "suspend"};
    DeviceLock state;
    traceEffect("system.power", std::string(lowerNames[target]) + ((Options & POWER_FORCE) ? " force" : ""));
    enterState(*state, target);
    return ERROR_SUCCESS;
}
