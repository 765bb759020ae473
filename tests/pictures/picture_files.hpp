// Readers for the committed picture files, written apart from the generator so that the tests
// check the files against the formats, not the generator against itself.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velorin::pictures::test {

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend auto operator<=>(const Rgb&, const Rgb&) = default;
    bool black() const { return r == 0 && g == 0 && b == 0; }
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // rows top-down
    const Rgb& at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// The utility's resource folder, and the folder of the device's UI font.
std::filesystem::path resourceDir();
std::filesystem::path fontDir();
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);

// A 24-bit bottom-up BI_RGB bitmap file; throws std::runtime_error on anything else.
Picture readBmp(const std::filesystem::path& path);

struct IconEntry {
    int size = 0;  // from the directory entry
    int bitsPerPixel = 0;
    int paletteColours = 0;
    Picture colour;            // the XOR image, palette looked up
    std::vector<bool> masked;  // the AND mask: true where the screen shows through
};

// A .ico file; checks the directory against each image's header and sizes. Throws on a fault.
std::vector<IconEntry> readIco(const std::filesystem::path& path);

}  // namespace velorin::pictures::test
