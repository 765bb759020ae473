// windows.h on desktop Win32: the real header, then what Windows CE's windows.h adds, which the
// CE layer (coredll.dll) provides. Programs written for CE include it as they would there.
#pragma once

#include_next <windows.h>

#include "ce_windows.h"
