// Display settings of the device: its mode record and ChangeDisplaySettingsEx, by the names and
// values of the system's own header.
#pragma once

#include "kernel/windef.h"

#include <cstddef>

inline constexpr int CCHDEVICENAME = 32;
inline constexpr int CCHFORMNAME = 32;

// The mode record as CE lays it out, not as desktop Windows does (unions, another size): no
// unions, the orientation last. The device's
// WCHAR is 2 bytes, which makes it 192 bytes there; this build's WCHAR is wchar_t, 4 bytes, so
// here it is 324. A program must therefore set dmSize to sizeof(DEVMODEW), never to a number.
struct DEVMODEW {
    WCHAR dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength;
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    WCHAR dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmDisplayOrientation;
};
using PDEVMODEW = DEVMODEW*;
using LPDEVMODEW = DEVMODEW*;

// The layout above, worked out for the width of WCHAR: 2 gives the device's 192 bytes.
static_assert(sizeof(DEVMODEW) == (sizeof(WCHAR) == 2 ? 192 : 324), "DEVMODEW no longer has the device's layout");
static_assert(offsetof(DEVMODEW, dmFields) == CCHDEVICENAME * sizeof(WCHAR) + 8);
static_assert(offsetof(DEVMODEW, dmDisplayOrientation) == sizeof(DEVMODEW) - sizeof(DWORD));

// dmFields.
inline constexpr DWORD DM_DISPLAYORIENTATION = 0x00800000;
inline constexpr DWORD DM_DISPLAYQUERYORIENTATION = 0x01000000;

// dmDisplayOrientation: the rotation counter-clockwise, one flag each, as on CE; desktop
// Windows counts them (DMDO_270 is 3 there) and has DM_DISPLAYORIENTATION at 0x80.
inline constexpr DWORD DMDO_0 = 0;
inline constexpr DWORD DMDO_90 = 1;
inline constexpr DWORD DMDO_180 = 2;
inline constexpr DWORD DMDO_270 = 4;
inline constexpr DWORD DMDO_DEFAULT = DMDO_0;

// dwflags.
inline constexpr DWORD CDS_UPDATEREGISTRY = 0x00000001;
inline constexpr DWORD CDS_TEST = 0x00000002;
inline constexpr DWORD CDS_RESET = 0x40000000;

// Results.
inline constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
inline constexpr LONG DISP_CHANGE_RESTART = 1;
inline constexpr LONG DISP_CHANGE_FAILED = -1;
inline constexpr LONG DISP_CHANGE_BADMODE = -2;
inline constexpr LONG DISP_CHANGE_NOTUPDATED = -3;
inline constexpr LONG DISP_CHANGE_BADFLAGS = -4;
inline constexpr LONG DISP_CHANGE_BADPARAM = -5;

// The device has one display, so lpszDeviceName, hwnd and lParam are not used (pass NULL).
// With DM_DISPLAYORIENTATION it turns the display to dmDisplayOrientation (a DMDO_ code;
// anything else is DISP_CHANGE_BADMODE), or with CDS_TEST only reports the current code there.
// With DM_DISPLAYQUERYORIENTATION it reports the codes the display supports, OR-ed together.
// A NULL record or a dmSize other than sizeof(DEVMODEW) is DISP_CHANGE_BADPARAM; flags other
// than CDS_RESET, CDS_TEST and CDS_UPDATEREGISTRY are DISP_CHANGE_BADFLAGS.
LONG ChangeDisplaySettingsEx(LPCWSTR lpszDeviceName, DEVMODEW* lpDevMode, HWND hwnd, DWORD dwflags, LPVOID lParam);
