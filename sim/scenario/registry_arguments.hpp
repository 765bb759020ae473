// A scenario's registry words: keys, value names and typed values.
#pragma once

#include <string>
#include <string_view>

#include "sim/scenario/command.hpp"

namespace velorin::sim {

struct RegKey {
    RegRoot root = RegRoot::HKLM;
    std::string path;  // "Software\Velorin"
};

// `HKLM\Software\Velorin`, optionally in double quotes when a part has blanks. The root is
// HKLM, HKCU, HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER in any case.
RegKey parseRegKey(std::string_view word);

// A value name: a bare word, or quoted ("" is the key's default value).
std::string parseRegName(std::string_view word);

// `dword:<n>` (decimal or 0x hex, 32 bits) or `sz:"<text>"`. `forms` lists the accepted
// spellings for the message when the word is neither.
RegValue parseRegValue(std::string_view word, std::string_view forms);

}  // namespace velorin::sim
