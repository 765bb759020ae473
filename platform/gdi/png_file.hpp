// Pictures of surfaces as PNG files (8-bit RGB), through libpng.
#pragma once

#include "gdi/surface.hpp"

#include <filesystem>

namespace velorin::gdi {

// Throws std::runtime_error naming the file when it cannot be written.
void writePng(const std::filesystem::path& file, const Surface& surface);
// Any PNG, converted to 8-bit RGB (transparency laid on black). Throws std::runtime_error
// naming the file when it cannot be read.
Surface readPng(const std::filesystem::path& file);

}  // namespace velorin::gdi
