// Pictures of surfaces as PNG files (8-bit RGB), through libpng.
#pragma once

#include "gdi/surface.hpp"

#include <filesystem>

namespace velorin::gdi {

// Throws std::runtime_error naming the file when it cannot be written.
void writePng(const std::filesystem::path& file, const Surface& surface);
// The same, using the surface's own storage for the rows, so that a large picture is not
// copied; the surface is left with unspecified pixels.
void writePng(const std::filesystem::path& file, Surface&& surface);
// Any PNG, converted to 8-bit RGB (transparency laid on black). Throws std::runtime_error
// naming the file when it cannot be read.
Surface readPng(const std::filesystem::path& file);

}  // namespace velorin::gdi
