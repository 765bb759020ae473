// String tables: a block of sixteen counted UTF-16 strings a resource, block n + 1 holding the
// strings numbered 16n to 16n + 15; an empty slot is a zero count.
#pragma once

#include "kernel/windef.h"

#include <cstdint>
#include <span>
#include <string>

namespace velorin::resources {

// The name (ordinal) of the RT_STRING block that holds string `id`.
inline WORD stringBlockOf(UINT id)
{
    return static_cast<WORD>((id >> 4) + 1);
}

// String `id` of its block; empty for an empty slot. Throws ResourceFormatError for a block
// that ends early.
std::wstring stringOfBlock(std::span<const std::uint8_t> block, UINT id, const std::string& source);

}  // namespace velorin::resources
