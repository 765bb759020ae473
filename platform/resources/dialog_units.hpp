// Dialog units to pixels, through the base units of the dialog font (the device's UI font):
// a horizontal unit is a quarter of the average character width, a vertical unit an eighth of
// the character height. As MapDialogRect does, each value is converted with MulDiv, which
// rounds to the nearest pixel.
#pragma once

#include "kernel/windef.h"

namespace velorin::resources {

// cx: the average width of the letters, cy: the height of a line, in pixels.
SIZE dialogBaseUnits();
// Each of the four values converted on its own, as MapDialogRect converts them.
RECT dialogUnitsToPixels(const RECT& units);

// a * b / c rounded half away from zero, as the system's MulDiv; -1 when c is 0.
int mulDiv(int a, int b, int c);

}  // namespace velorin::resources
