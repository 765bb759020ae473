/* Message crackers, as programs include them. */
#ifndef VELORIN_WINDOWSX_H
#define VELORIN_WINDOWSX_H

#include "windows.h"
#include "window/windowsx.h"

#endif
