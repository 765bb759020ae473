/* Message crackers of the device's system library, by the names of the system's windowsx.h. */
#ifndef VELORIN_WINDOW_WINDOWSX_H
#define VELORIN_WINDOW_WINDOWSX_H

#include "window/winuser.h"

/* The signed coordinates of a mouse message's lParam. */
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

#endif
