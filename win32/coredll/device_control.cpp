// The CE layer's controls for the scenario player.
#include "battery.hpp"
#include "shared_device.hpp"

#include <velorin_device.h>

using namespace velorin::ce;

namespace {

// A run of the player: the trace goes to its file, device time starts with its program, and the
// desktop is the panel upright.
BOOL beginRun(LPCWSTR traceFile, bool scenarioDriven)
{
    if (!traceFile || lstrlenW(traceFile) >= MAX_PATH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DeviceLock state;
    state->runActive = 1;
    state->scenarioDriven = scenarioDriven ? 1 : 0;
    state->clockZero = counterNow();
    state->clockAwaitsProgram = 1;
    state->panelWidth = GetSystemMetrics(SM_CXSCREEN);
    state->panelHeight = GetSystemMetrics(SM_CYSCREEN);
    lstrcpyW(state->traceFile, traceFile);
    return TRUE;
}

}  // namespace

BOOL WINAPI VelorinBeginScenario(LPCWSTR traceFile, BYTE acLineStatus, BYTE percent)
{
    if (!beginRun(traceFile, true))
        return FALSE;
    DeviceLock state;
    state->acLineStatus = acLineStatus;
    state->batteryPercent = percent;
    return TRUE;
}

BOOL WINAPI VelorinBeginMachineRun(LPCWSTR traceFile)
{
    return beginRun(traceFile, false);
}

BOOL WINAPI VelorinClockStarted(void)
{
    DeviceLock state;
    return state->clockAwaitsProgram ? FALSE : TRUE;
}

DWORD WINAPI VelorinDeviceTime(void)
{
    return static_cast<DWORD>(deviceTimeMs());
}

void WINAPI VelorinReportPower(int acLineStatus, int percent)
{
    reportPower(acLineStatus < 0 ? std::nullopt : std::optional<BYTE>(static_cast<BYTE>(acLineStatus)),
                percent < 0 ? std::nullopt : std::optional<BYTE>(static_cast<BYTE>(percent)));
}

void WINAPI VelorinTraceEffect(LPCSTR event, LPCSTR args)
{
    traceEffect(event, args ? args : "");
}

void WINAPI VelorinBacklight(BOOL* on, int* level)
{
    DeviceLock state;
    if (on)
        *on = state->seenOn ? TRUE : FALSE;
    if (level)
        *level = state->seenLevel;
}

DWORD WINAPI VelorinOrientation(void)
{
    DeviceLock state;
    return state->orientation;
}
