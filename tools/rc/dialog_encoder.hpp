// A dialog template in the binary form the window manager reads: DLGTEMPLATE with
// DLGITEMTEMPLATEs for DIALOG, DLGTEMPLATEEX with DLGITEMTEMPLATEEXs for DIALOGEX.
#pragma once

#include "script.hpp"

#include <cstdint>
#include <vector>

namespace velorin::rc {

std::vector<std::uint8_t> encodeDialog(const DialogSpec& dialog);

}  // namespace velorin::rc
