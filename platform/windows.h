/* The device's system library, as a program includes it. As on CE, the message queues
   (msgqueue.h) and the power manager (pm.h) are headers of their own. */
#ifndef VELORIN_WINDOWS_H
#define VELORIN_WINDOWS_H

#include "kernel/windef.h"
#include "kernel/winerror.h"
#include "kernel/winbase.h"
#include "kernel/winbase_sync.h"
#include "registry/winreg.h"
#include "gdi/wingdi.h"
#include "display/windisplay.h"
#include "power/winbase_power.h"
#include "window/winuser.h"
#include "resources/winres.h"

#endif
