// The device controls: how the charging screen changes the device. Results are returned where
// the device gives one, but no caller acts on them.
#ifndef VELORIN_SERVICES_DEVICE_CONTROLS_H
#define VELORIN_SERVICES_DEVICE_CONTROLS_H

#include <windows.h>
#include <pm.h>

// The backlight device's power: D0 full, D4 off.
void RequestBacklightPower(CEDEVICE_POWER_STATE state);
// One backlight level by its value name; only the two level names write anything.
void WriteBacklightLevel(LPCWSTR valueName, LONG level);
void DisableDimSetting();
// The saved auto-rotate value with bit 31 cleared.
void WriteAutoRotateMasked();
// True when the display took the orientation.
bool SetDisplayOrientation(DWORD orientation);
// The orientation of the saved angle.
void RestoreOrientation();
void ForceSystemPowerOn();
void SignalSystemActivity();
void SignalReloadActivityTimeouts();
// Restores the user's dim setting from the saved one.
void RestoreDimSetting();

// The orientation code of an angle in degrees.
DWORD OrientationForAngle(DWORD degrees);

#endif
