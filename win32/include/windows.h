/* windows.h on desktop Win32: the real header, then what Windows CE's windows.h adds, which the
   CE layer (coredll.dll) provides. Programs written for CE include it as they would there. */
#ifndef VELORIN_WIN32_WINDOWS_H
#define VELORIN_WIN32_WINDOWS_H

/* Only this file reaches past itself to the real header, which C and C++ name no way of doing;
   the rest of it is the system's as far as warnings go. */
#pragma GCC system_header
#include_next <windows.h>

#include "ce_windows.h"

#endif
