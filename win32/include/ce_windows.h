/* The parts of Windows CE's windows.h that desktop Win32 lacks or has differently, as the CE
   layer (coredll.dll) provides them. Where desktop Windows has the same name with another
   meaning (the display record and its codes), the CE one takes the name here and the desktop
   one is no longer reachable by it. C and C++03 alike, as a CE program may be either. */
#ifndef VELORIN_WIN32_CE_WINDOWS_H
#define VELORIN_WIN32_CE_WINDOWS_H

/* windows.h includes this after the real header; included alone, this includes windows.h first,
   which comes back here to find it under way. */
#include <windows.h>

#ifdef VELORIN_COREDLL_BUILD
#define CE_LAYER_API __declspec(dllexport)
#else
#define CE_LAYER_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Events: CE's SetEvent, ResetEvent and PulseEvent are this one call. */
#define EVENT_PULSE 1
#define EVENT_RESET 2
#define EVENT_SET 3
CE_LAYER_API BOOL WINAPI EventModify(HANDLE hEvent, DWORD func);

/* Exports looked up by a wide name, as CE names them. */
CE_LAYER_API FARPROC WINAPI GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName);

/* CE's conditional exchange: the desktop's compare-exchange with the two values the other way
   round, which mingw-w64 does not declare. */
static __inline LONG WINAPI InterlockedTestExchange(LPLONG Target, LONG OldValue, LONG NewValue)
{
    return InterlockedCompareExchange(Target, NewValue, OldValue);
}

/* The battery driver's status record, the device's own declaration. */
#include "../../platform/power/power_status_record.h"

/* Exported by name too: programs look it up at run time in "coredll.dll". */
CE_LAYER_API DWORD WINAPI GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 pSystemPowerStatusEx2, DWORD dwLen,
                                                  BOOL fUpdate);

/* A copy that leaves the pixels of one colour alone; hSrc is a device context or a bitmap. */
CE_LAYER_API BOOL WINAPI TransparentImage(HDC hdcDest, LONG DstX, LONG DstY, LONG DstCx, LONG DstCy, HANDLE hSrc,
                                          LONG SrcX, LONG SrcY, LONG SrcCx, LONG SrcCy, COLORREF TransparentColor);

/* The display: CE's mode record (no unions, the orientation last) and its orientation codes,
   which are flags (270 degrees is 4, where desktop Windows counts 3). */
#include "../../platform/display/devmode_record.h"
typedef struct _CE_DEVMODEW CE_DEVMODEW, *PCE_DEVMODEW;

CE_LAYER_API LONG WINAPI CeChangeDisplaySettingsEx(LPCWSTR lpszDeviceName, CE_DEVMODEW* lpDevMode, HWND hwnd,
                                                   DWORD dwflags, LPVOID lParam);

#ifdef __cplusplus
}
#endif

#undef DEVMODEW
#define DEVMODEW CE_DEVMODEW
#undef ChangeDisplaySettingsEx
#define ChangeDisplaySettingsEx CeChangeDisplaySettingsEx

#undef DM_DISPLAYORIENTATION
#define DM_DISPLAYORIENTATION 0x00800000
#define DM_DISPLAYQUERYORIENTATION 0x01000000
#undef DMDO_DEFAULT
#undef DMDO_0
#undef DMDO_90
#undef DMDO_180
#undef DMDO_270
#define DMDO_0 0
#define DMDO_90 1
#define DMDO_180 2
#define DMDO_270 4
#define DMDO_DEFAULT DMDO_0

#endif
