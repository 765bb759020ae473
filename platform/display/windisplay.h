/* Display settings of the device: its mode record and ChangeDisplaySettingsEx, by the names and
   values of the system's own header. */
#ifndef VELORIN_DISPLAY_WINDISPLAY_H
#define VELORIN_DISPLAY_WINDISPLAY_H

#include "kernel/windef.h"

#define CCHDEVICENAME 32
#define CCHFORMNAME 32

/* The device's WCHAR is 2 bytes, which makes the mode record 192 bytes there; this build's WCHAR
   is wchar_t, 4 bytes, so here it is 324. A program must therefore set dmSize to
   sizeof(DEVMODEW), never to a number. */
#include "display/devmode_record.h"
typedef struct _CE_DEVMODEW DEVMODEW;
typedef struct _CE_DEVMODEW *PDEVMODEW;
typedef struct _CE_DEVMODEW *LPDEVMODEW;

/* dmFields. */
#define DM_DISPLAYORIENTATION 0x00800000U
#define DM_DISPLAYQUERYORIENTATION 0x01000000U

/* dmDisplayOrientation: the rotation counter-clockwise, one flag each, as on CE; desktop
   Windows counts them (DMDO_270 is 3 there) and has DM_DISPLAYORIENTATION at 0x80. */
#define DMDO_0 0U
#define DMDO_90 1U
#define DMDO_180 2U
#define DMDO_270 4U
#define DMDO_DEFAULT DMDO_0

/* dwflags. */
#define CDS_UPDATEREGISTRY 0x00000001U
#define CDS_TEST 0x00000002U
#define CDS_RESET 0x40000000U

/* Results. */
#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_RESTART 1
#define DISP_CHANGE_FAILED (-1)
#define DISP_CHANGE_BADMODE (-2)
#define DISP_CHANGE_NOTUPDATED (-3)
#define DISP_CHANGE_BADFLAGS (-4)
#define DISP_CHANGE_BADPARAM (-5)

/* The device has one display, so lpszDeviceName, hwnd and lParam are not used (pass NULL).
   With DM_DISPLAYORIENTATION it turns the display to dmDisplayOrientation (a DMDO_ code;
   anything else is DISP_CHANGE_BADMODE), or with CDS_TEST only reports the current code there.
   With DM_DISPLAYQUERYORIENTATION it reports the codes the display supports, OR-ed together.
   A NULL record or a dmSize other than sizeof(DEVMODEW) is DISP_CHANGE_BADPARAM; flags other
   than CDS_RESET, CDS_TEST and CDS_UPDATEREGISTRY are DISP_CHANGE_BADFLAGS. */
#ifdef __cplusplus
extern "C" {
#endif

LONG ChangeDisplaySettingsEx(LPCWSTR lpszDeviceName, DEVMODEW *lpDevMode, HWND hwnd, DWORD dwflags, LPVOID lParam);

#ifdef __cplusplus
}
#endif

#endif
