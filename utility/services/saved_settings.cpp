// Capturing the user's settings before the screen changes them, and writing them back.
#include "services/saved_settings.h"

#include "services/reg_key_holder.h"

LONG g_savedBatteryBacklightLevel = 0;
LONG g_savedAcBacklightLevel = 0;
DWORD g_savedUseDim = 0;
DWORD g_savedAutoRotate = 0;
DWORD g_savedAngle = 0;

namespace {

const DWORD kDefaultBacklightLevel = 10;
const DWORD kDefaultUseDim = 0;
const DWORD kDefaultAutoRotate = 0;
const DWORD kDefaultAngle = 90;

}  // namespace

void LoadBacklightSettings()
{
    RegKeyHolder key;
    key.OpenOrCreate(HKEY_CURRENT_USER, kBacklightKey);
    g_savedBatteryBacklightLevel = static_cast<LONG>(key.ReadDword(kBatteryBacklightLevel, kDefaultBacklightLevel));
    g_savedAcBacklightLevel = static_cast<LONG>(key.ReadDword(kAcBacklightLevel, kDefaultBacklightLevel));
    g_savedUseDim = key.ReadDword(kUseDim, kDefaultUseDim);
}

void SaveBacklightSettings()
{
    RegKeyHolder key;
    key.OpenOrCreate(HKEY_CURRENT_USER, kBacklightKey);
    key.WriteDword(kBatteryBacklightLevel, static_cast<DWORD>(g_savedBatteryBacklightLevel));
    key.WriteDword(kAcBacklightLevel, static_cast<DWORD>(g_savedAcBacklightLevel));
    key.WriteDword(kUseDim, g_savedUseDim);
}

void LoadRotationSettings()
{
    RegKeyHolder key;
    key.OpenForRead(HKEY_LOCAL_MACHINE, kRotationKey);
    g_savedAutoRotate = key.ReadDword(kAutoRotate, kDefaultAutoRotate);
    g_savedAngle = key.ReadDword(kAngle, kDefaultAngle);
}

void RestoreRotationSettings()
{
    RegKeyHolder key;
    key.OpenForReadWrite(HKEY_LOCAL_MACHINE, kRotationKey);
    const DWORD angle = key.ReadDword(kAngle, kDefaultAngle);
    const DWORD autoRotate = key.ReadDword(kAutoRotate, kDefaultAutoRotate);
    if (angle != g_savedAngle || autoRotate != g_savedAutoRotate) {
        key.WriteDword(kAutoRotate, g_savedAutoRotate);
        key.WriteDword(kAngle, g_savedAngle);
    }
}
