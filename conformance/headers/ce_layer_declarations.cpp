// The lists against the CE layer's headers (win32/include: the real windows.h, then what CE adds
// or means otherwise), as the utility's sources see them in the Win32 build: CE's own
// declarations and the names it gives CE's meaning. Read out of the object file like the
// desktop's.
#define VELORIN_CE_LAYER_SIDE
#include <windows.h>
#include <windowsx.h>
#include <msgqueue.h>
#include <pm.h>

#include "conformance/headers/declaration_table.hpp"

extern const velorin::conformance::Declaration velorin_ce_layer_declarations[];
VELORIN_DECLARATION_TABLE const velorin::conformance::Declaration velorin_ce_layer_declarations[] = {
#include "conformance/headers/ce_redefined.inc"
#include "conformance/headers/ce_only.inc"
};
