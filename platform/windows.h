// The device's system library, as the utility includes it.
#pragma once

#include "kernel/windef.h"
#include "kernel/winerror.h"
#include "kernel/winbase.h"
#include "kernel/msgqueue.h"
#include "registry/winreg.h"
#include "gdi/wingdi.h"
#include "display/windisplay.h"
#include "power/pm.h"
#include "power/winbase_power.h"
#include "window/winuser.h"
#include "resources/winres.h"
