// The platform identity in the registry, which decides the charging screen's orientation.
#ifndef VELORIN_SERVICES_PLATFORM_KIND_H
#define VELORIN_SERVICES_PLATFORM_KIND_H

#include "services/reg_key_holder.h"

#include <windows.h>

// The identities' kinds; any other identity leaves the kind as it was.
const LONG kPlatformKind522 = 0;
const LONG kPlatformKind533 = 1;
const LONG kPlatformKind511 = 2;

const DWORD kPlatformIdChars = 260;

// Reads "PlatformID" of HKEY_LOCAL_MACHINE\Ident through `identKey`, which the caller keeps
// open until the end of its own initialisation, and sets `platformKind` when it is known.
void ReadPlatformKind(RegKeyHolder& identKey, LONG& platformKind);

#endif
