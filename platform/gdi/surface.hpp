// A picture the device draws into: a window's surface, a bitmap, the screen. 24-bit colour,
// one 0x00RRGGBB word a pixel, rows from the top.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace velorin::gdi {

using Rgb = std::uint32_t;

constexpr Rgb rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return (Rgb{r} << 16) | (Rgb{g} << 8) | Rgb{b};
}

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, Rgb fill = 0)
        : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
          m_pixels(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), fill)
    {
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    Rgb pixel(int x, int y) const { return contains(x, y) ? m_pixels[index(x, y)] : 0; }
    void setPixel(int x, int y, Rgb colour)
    {
        if (contains(x, y))
            m_pixels[index(x, y)] = colour;
    }
    // Fills [left, right) x [top, bottom), clipped to the surface.
    void fill(int left, int top, int right, int bottom, Rgb colour)
    {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, m_width);
        bottom = std::min(bottom, m_height);
        for (int y = top; y < bottom; ++y)
            std::fill_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(index(left, y)), std::max(right - left, 0),
                        colour);
    }
    // A new size; what fits of the old picture stays, the rest is `fill`.
    void resize(int width, int height, Rgb fill = 0)
    {
        Surface resized(width, height, fill);
        for (int y = 0; y < std::min(height, m_height); ++y)
            for (int x = 0; x < std::min(width, m_width); ++x)
                resized.setPixel(x, y, pixel(x, y));
        *this = std::move(resized);
    }

    const std::vector<Rgb>& pixels() const { return m_pixels; }
    std::vector<Rgb>& pixels() { return m_pixels; }
    bool operator==(const Surface&) const = default;

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }

    int m_width = 0;
    int m_height = 0;
    std::vector<Rgb> m_pixels;
};

}  // namespace velorin::gdi
