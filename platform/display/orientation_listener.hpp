// What a turn of the display asks of the windows on it. The window manager, above the display,
// answers; the display driver knows it only by this.
#pragma once

#include "kernel/windef.h"

#include <vector>

namespace velorin::display {

class OrientationListener {
public:
    // Under the kernel lock, once the display has turned: every window is invalid again. Gives
    // the windows to tell, the top-level ones, front first.
    virtual std::vector<HWND> orientationChangedLocked() = 0;
    // Without the lock: tells one of them (WM_SETTINGCHANGE, SETTINGCHANGE_RESET), returning once
    // it has handled the message; a window gone meanwhile is skipped.
    virtual void tellOrientationChanged(HWND window) = 0;

protected:
    ~OrientationListener() = default;
};

}  // namespace velorin::display
