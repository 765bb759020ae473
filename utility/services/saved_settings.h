// The user's backlight and rotation settings, captured before the charging screen changes them
// and written back when it restores them. Each mirrors its registry DWORD bit for bit.
#ifndef VELORIN_SERVICES_SAVED_SETTINGS_H
#define VELORIN_SERVICES_SAVED_SETTINGS_H

#include <windows.h>

extern LONG g_savedBatteryBacklightLevel;
extern LONG g_savedAcBacklightLevel;
extern DWORD g_savedUseDim;
extern DWORD g_savedAutoRotate;
extern DWORD g_savedAngle;  // degrees

// "ControlPanel\BackLight" under HKEY_CURRENT_USER, created when missing.
const WCHAR kBacklightKey[] = L"ControlPanel\\BackLight";
const WCHAR kBatteryBacklightLevel[] = L"BatteryBacklightLevel";
const WCHAR kAcBacklightLevel[] = L"AcBacklightLevel";
const WCHAR kUseDim[] = L"UseDim";
// "System\GDI\Rotation" under HKEY_LOCAL_MACHINE.
const WCHAR kRotationKey[] = L"System\\GDI\\Rotation";
const WCHAR kAutoRotate[] = L"AutoRotate";
const WCHAR kAngle[] = L"Angle";

void LoadBacklightSettings();
void SaveBacklightSettings();
// Rotation first: the window loads these before the backlight.
void LoadRotationSettings();
// Writes "AutoRotate" then "Angle" back when either differs from the saved value.
void RestoreRotationSettings();

#endif
