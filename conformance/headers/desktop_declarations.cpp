// The lists against mingw-w64's own headers, as desktop Windows declares them: the common ones
// for 64-bit Windows, the 32-bit-only words for 32-bit Windows. The build reads the array out of
// the object file (extract_declarations.cmake), so nothing here has to run.
#include <windows.h>
#include <windowsx.h>

#include "conformance/headers/declaration_table.hpp"

extern const velorin::conformance::Declaration velorin_desktop_declarations[];
VELORIN_DECLARATION_TABLE const velorin::conformance::Declaration velorin_desktop_declarations[] = {
#ifdef _WIN64
#include "conformance/headers/common.inc"
#include "conformance/headers/ce_redefined.inc"
#else
#include "conformance/headers/desktop_32bit.inc"
#endif
};
