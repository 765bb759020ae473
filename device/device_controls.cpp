#include "device/device_controls.h"

#include "device/reg_key_holder.h"
#include "device/saved_settings.h"

#include <cstring>

namespace {

constexpr WCHAR kBacklightDevice[] = L"BKL1:";
constexpr WCHAR kSystemActivityEvent[] = L"PowerManager/ActivityTimer/SystemActivity";
constexpr WCHAR kReloadTimeoutsEvent[] = L"PowerManager/ReloadActivityTimeouts";
constexpr DWORD kAutoRotateMask = 0x7FFFFFFF;

// The power manager owns its events; one that does not exist is skipped.
void SignalPowerManagerEvent(LPCWSTR name)
{
    HANDLE event = OpenEventW(EVENT_ALL_ACCESS, FALSE, name);
    if (!event)
        return;
    EventModify(event, EVENT_SET);
    CloseHandle(event);
}

}  // namespace

void RequestBacklightPower(CEDEVICE_POWER_STATE state)
{
    DevicePowerNotify(const_cast<WCHAR*>(kBacklightDevice), state, POWER_NAME);
}

void WriteBacklightLevel(std::wstring valueName, LONG level)
{
    const WCHAR* name = nullptr;
    if (valueName == kAcBacklightLevel)
        name = kAcBacklightLevel;
    else if (valueName == kBatteryBacklightLevel)
        name = kBatteryBacklightLevel;
    if (!name)
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
    std::memset(&mode, 0, sizeof mode);
    // The record's own size: WCHAR is wider here than on the device, so no literal will do.
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    mode.dmDisplayOrientation = orientation;
    return ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_RESET, nullptr) == DISP_CHANGE_SUCCESSFUL;
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
    SetSystemPowerState(nullptr, POWER_STATE_ON, POWER_FORCE);
}

void SignalSystemActivity()
{
    SignalPowerManagerEvent(kSystemActivityEvent);
}

void SignalReloadActivityTimeouts()
{
    SignalPowerManagerEvent(kReloadTimeoutsEvent);
}
