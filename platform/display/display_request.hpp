// What a ChangeDisplaySettingsEx call asks of the display, read from its record and flags by
// CE's rules and in CE's order: written once for the device's display and for the CE layer on
// desktop Win32, which then do it each on its own display.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "display/windisplay.h"
#endif

namespace velorin::display {

inline constexpr DWORD kKnownDisplayFlags = CDS_RESET | CDS_TEST | CDS_UPDATEREGISTRY;
inline constexpr DWORD kSupportedOrientations = DMDO_0 | DMDO_90 | DMDO_180 | DMDO_270;

// Whether the call asks to turn the display: those attempts are traced whatever their result.
inline bool asksToTurn(const DEVMODEW* mode, DWORD flags)
{
    return mode && (mode->dmFields & DM_DISPLAYORIENTATION) && !(mode->dmFields & DM_DISPLAYQUERYORIENTATION) &&
           !(flags & CDS_TEST);
}

enum class DisplayRequest {
    BadRecord,  // none, or of another size: the record's size is its version
    BadFlags,
    Query,      // the orientations the display supports
    BadMode,    // resolution, depth and frequency are the panel's own; only the orientation changes
    Report,     // a test: the current orientation
    Turn,
};

inline DisplayRequest displayRequestOf(const DEVMODEW* mode, DWORD flags)
{
    if (!mode || mode->dmSize != sizeof(DEVMODEW))
        return DisplayRequest::BadRecord;
    if (flags & ~kKnownDisplayFlags)
        return DisplayRequest::BadFlags;
    if (mode->dmFields & DM_DISPLAYQUERYORIENTATION)
        return DisplayRequest::Query;
    if (!(mode->dmFields & DM_DISPLAYORIENTATION))
        return DisplayRequest::BadMode;
    if (flags & CDS_TEST)
        return DisplayRequest::Report;
    return DisplayRequest::Turn;
}

}  // namespace velorin::display
