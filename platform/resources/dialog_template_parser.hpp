// RT_DIALOG bytes into a DialogTemplate: DLGTEMPLATE with DLGITEMTEMPLATEs, or DLGTEMPLATEEX
// (version 1, signature 0xFFFF) with DLGITEMTEMPLATEEXs.
#pragma once

#include "resources/dialog_template.hpp"

#include <cstdint>
#include <span>
#include <string>

namespace velorin::resources {

inline constexpr DWORD kDsSetFont = 0x00000040;

// Throws ResourceFormatError naming `source`, the byte offset and what is wrong.
DialogTemplate parseDialogTemplate(std::span<const std::uint8_t> bytes, const std::string& source = "dialog template");

// The name of a predefined window class by its ordinal (0x0080 BUTTON ... 0x0085 COMBOBOX), or
// "#<n>" for another ordinal.
std::wstring classNameOfOrdinal(WORD ordinal);

}  // namespace velorin::resources
