// Reading the platform identity from the registry.
#include "services/platform_kind.h"

#include <wchar.h>

void ReadPlatformKind(RegKeyHolder& identKey, LONG& platformKind)
{
    identKey.OpenForRead(HKEY_LOCAL_MACHINE, L"Ident");
    WCHAR platformId[kPlatformIdChars] = {0};
    identKey.ReadString(L"PlatformID", platformId, kPlatformIdChars);
    if (wcscmp(platformId, L"511") == 0)
        platformKind = kPlatformKind511;
    else if (wcscmp(platformId, L"522") == 0)
        platformKind = kPlatformKind522;
    else if (wcscmp(platformId, L"533") == 0)
        platformKind = kPlatformKind533;
}
