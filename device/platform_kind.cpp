#include "device/platform_kind.h"

#include <cwchar>

void ReadPlatformKind(RegKeyHolder& identKey, LONG& platformKind)
{
    identKey.OpenForRead(HKEY_LOCAL_MACHINE, L"Ident");
    WCHAR platformId[kPlatformIdChars] = L"";
    identKey.ReadString(L"PlatformID", platformId, kPlatformIdChars);
    if (std::wcscmp(platformId, L"511") == 0)
        platformKind = kPlatformKind511;
    else if (std::wcscmp(platformId, L"522") == 0)
        platformKind = kPlatformKind522;
    else if (std::wcscmp(platformId, L"533") == 0)
        platformKind = kPlatformKind533;
}
