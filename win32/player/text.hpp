// UTF-8 and the system's UTF-16, for the player's texts.
#pragma once

#include <string>
#include <string_view>

namespace velorin::wine {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace velorin::wine
