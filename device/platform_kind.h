// The platform identity in the registry, which decides the charging screen's orientation.
#pragma once

#include "device/reg_key_holder.h"

#include <windows.h>

// The identities' kinds; any other identity leaves the kind as it was.
inline constexpr LONG kPlatformKind522 = 0;
inline constexpr LONG kPlatformKind533 = 1;
inline constexpr LONG kPlatformKind511 = 2;

inline constexpr DWORD kPlatformIdChars = 260;

// Reads "PlatformID" of HKEY_LOCAL_MACHINE\Ident through `identKey`, which the caller keeps
// open until the end of its own initialisation, and sets `platformKind` when it is known.
void ReadPlatformKind(RegKeyHolder& identKey, LONG& platformKind);
