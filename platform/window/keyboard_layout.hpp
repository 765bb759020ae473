// The device's keyboard layout: US English, no shift or lock keys held.
#pragma once

#include "kernel/windef.h"

#include <optional>

namespace velorin::window {

// The character that TranslateMessage makes of a key, if the key makes one.
std::optional<WCHAR> characterOfKey(UINT virtualKey);

}  // namespace velorin::window
