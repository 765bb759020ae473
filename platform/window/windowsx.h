// Message crackers of the device's system library, by the names of the system's windowsx.h.
#pragma once

#include "window/winuser.h"

// The signed coordinates of a mouse message's lParam.
constexpr int GET_X_LPARAM(LPARAM lp)
{
    return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp)
{
    return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lp)));
}
