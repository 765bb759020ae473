// The simplified libpng interface keeps its setjmp error handling to itself, so no C++ frame
// is ever jumped over.
#include "gdi/png_file.hpp"

#include <png.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace velorin::gdi {

namespace {

// Frees libpng's state however a read or write ends.
class PngImage {
public:
    PngImage() { m_image.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&m_image); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;

    png_image* get() { return &m_image; }
    png_image* operator->() { return &m_image; }

private:
    png_image m_image{};
};

std::runtime_error pngError(const std::filesystem::path& file, const std::string& what, const char* reason)
{
    std::string text = file.string() + ": " + what;
    if (reason && *reason)
        text += ": " + std::string(reason);
    return std::runtime_error(text);
}

}  // namespace

namespace {

void writeRgbRows(const std::filesystem::path& file, int width, int height, const std::uint8_t* rows)
{
    PngImage image;
    image->width = static_cast<png_uint_32>(width);
    image->height = static_cast<png_uint_32>(height);
    image->format = PNG_FORMAT_RGB;
    const std::string name = file.string();
    if (!png_image_write_to_file(image.get(), name.c_str(), 0, rows, 0, nullptr))
        throw pngError(file, "cannot write the PNG", image->message);
}

}  // namespace

void writePng(const std::filesystem::path& file, const Surface& surface)
{
    if (surface.width() <= 0 || surface.height() <= 0)
        throw pngError(file, "cannot write an empty picture", nullptr);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(surface.width()) * surface.height() * 3);
    std::size_t at = 0;
    for (const Rgb pixel : surface.pixels()) {
        rows[at++] = static_cast<std::uint8_t>(pixel >> 16);
        rows[at++] = static_cast<std::uint8_t>(pixel >> 8);
        rows[at++] = static_cast<std::uint8_t>(pixel);
    }
    writeRgbRows(file, surface.width(), surface.height(), rows.data());
}

void writePng(const std::filesystem::path& file, Surface&& surface)
{
    if (surface.width() <= 0 || surface.height() <= 0)
        throw pngError(file, "cannot write an empty picture", nullptr);
    // The RGB bytes are packed into the pixels' own storage, front to back: each byte is written
    // at or before the pixel it comes from has been read, so a large picture is never copied.
    std::vector<Rgb>& pixels = surface.pixels();
    auto* bytes = reinterpret_cast<std::uint8_t*>(pixels.data());
    std::size_t at = 0;
    for (const Rgb pixel : pixels) {
        bytes[at++] = static_cast<std::uint8_t>(pixel >> 16);
        bytes[at++] = static_cast<std::uint8_t>(pixel >> 8);
        bytes[at++] = static_cast<std::uint8_t>(pixel);
    }
    writeRgbRows(file, surface.width(), surface.height(), bytes);
}

Surface readPng(const std::filesystem::path& file)
{
    PngImage image;
    const std::string name = file.string();
    if (!png_image_begin_read_from_file(image.get(), name.c_str()))
        throw pngError(file, "cannot read the PNG", image->message);
    image->format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rows(PNG_IMAGE_SIZE(*image.get()));
    const png_color black{0, 0, 0};
    if (!png_image_finish_read(image.get(), &black, rows.data(), 0, nullptr))
        throw pngError(file, "cannot read the PNG", image->message);
    Surface surface(static_cast<int>(image->width), static_cast<int>(image->height));
    std::size_t at = 0;
    for (Rgb& pixel : surface.pixels()) {
        pixel = rgb(rows[at], rows[at + 1], rows[at + 2]);
        at += 3;
    }
    return surface;
}

}  // namespace velorin::gdi
