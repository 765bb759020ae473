// The user's backlight and rotation settings, captured before the charging screen changes them
// and written back when it restores them. Each mirrors its registry DWORD bit for bit.
#pragma once

#include <windows.h>

extern LONG g_savedBatteryBacklightLevel;
extern LONG g_savedAcBacklightLevel;
extern DWORD g_savedUseDim;
extern DWORD g_savedAutoRotate;
extern DWORD g_savedAngle;  // degrees

// "ControlPanel\BackLight" under HKEY_CURRENT_USER, created when missing.
inline constexpr WCHAR kBacklightKey[] = L"ControlPanel\\BackLight";
inline constexpr WCHAR kBatteryBacklightLevel[] = L"BatteryBacklightLevel";
inline constexpr WCHAR kAcBacklightLevel[] = L"AcBacklightLevel";
inline constexpr WCHAR kUseDim[] = L"UseDim";
// "System\GDI\Rotation" under HKEY_LOCAL_MACHINE.
inline constexpr WCHAR kRotationKey[] = L"System\\GDI\\Rotation";
inline constexpr WCHAR kAutoRotate[] = L"AutoRotate";
inline constexpr WCHAR kAngle[] = L"Angle";

void LoadBacklightSettings();
void SaveBacklightSettings();
// Rotation first: the window loads these before the backlight.
void LoadRotationSettings();
// Writes "AutoRotate" then "Angle" back when either differs from the saved value.
void RestoreRotationSettings();
