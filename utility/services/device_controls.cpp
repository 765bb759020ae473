// The device controls' calls: the backlight, dimming, rotation, power manager events and power.
#include "services/device_controls.h"

#include "services/reg_key_holder.h"
#include "services/saved_settings.h"

#include <string.h>
#include <wchar.h>

namespace {

const WCHAR kBacklightDevice[] = L"BKL1:";
const WCHAR kSystemActivityEvent[] = L"PowerManager/ActivityTimer/SystemActivity";
const WCHAR kReloadTimeoutsEvent[] = L"PowerManager/ReloadActivityTimeouts";
const DWORD kAutoRotateMask = 0x7FFFFFFF;

// The power manager owns its events; one that does not exist is skipped.
void SignalPowerManagerEvent(LPCWSTR name)
{
    HANDLE event = OpenEventW(EVENT_ALL_ACCESS, FALSE, name);
    if (event == NULL)
        return;
    EventModify(event, EVENT_SET);
    CloseHandle(event);
}

}  // namespace

void RequestBacklightPower(CEDEVICE_POWER_STATE state)
{
    DevicePowerNotify(const_cast<WCHAR*>(kBacklightDevice), state, POWER_NAME);
}

void WriteBacklightLevel(LPCWSTR valueName, LONG level)
{
    // Compared by text, as the caller's name may be a copy.
    const WCHAR* name = NULL;
    if (valueName == NULL)
        return;
    if (wcscmp(valueName, kAcBacklightLevel) == 0)
        name = kAcBacklightLevel;
    else if (wcscmp(valueName, kBatteryBacklightLevel) == 0)
        name = kBatteryBacklightLevel;
    if (name == NULL)
        return;
    RegKeyHolder key;
    key.OpenOrCreate(HKEY_CURRENT_USER, kBacklightKey);
    key.WriteDword(name, static_cast<DWORD>(level));
}

void DisableDimSetting()
{
    RegKeyHolder key;
    key.OpenOrCreate(HKEY_CURRENT_USER, kBacklightKey);
    key.WriteDword(kUseDim, 0);
}

void RestoreDimSetting()
{
    RegKeyHolder key;
    key.OpenOrCreate(HKEY_CURRENT_USER, kBacklightKey);
    key.WriteDword(kUseDim, g_savedUseDim);
}

void WriteAutoRotateMasked()
{
    RegKeyHolder key;
    key.OpenForReadWrite(HKEY_LOCAL_MACHINE, kRotationKey);
    key.WriteDword(kAutoRotate, g_savedAutoRotate & kAutoRotateMask);
}

bool SetDisplayOrientation(DWORD orientation)
{
    DEVMODEW mode;
    memset(&mode, 0, sizeof mode);
    // The record's own size: WCHAR is wider here than on the device, so no literal will do.
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    mode.dmDisplayOrientation = orientation;
    return ChangeDisplaySettingsEx(NULL, &mode, NULL, CDS_RESET, NULL) == DISP_CHANGE_SUCCESSFUL;
}

DWORD OrientationForAngle(DWORD degrees)
{
    const DWORD quarter = degrees / 90;
    return quarter == 3 ? DMDO_270 : quarter;
}

void RestoreOrientation()
{
    SetDisplayOrientation(OrientationForAngle(g_savedAngle));
}

void ForceSystemPowerOn()
{
    SetSystemPowerState(NULL, POWER_STATE_ON, POWER_FORCE);
}

void SignalSystemActivity()
{
    SignalPowerManagerEvent(kSystemActivityEvent);
}

void SignalReloadActivityTimeouts()
{
    SignalPowerManagerEvent(kReloadTimeoutsEvent);
}
