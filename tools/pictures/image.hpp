// Pictures as the generator draws them: 8-bit RGB rasters, and shapes sampled many times a
// pixel so that every edge comes out smoothed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velorin::pictures {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A colour while it is being mixed, in 0..255 per channel.
struct Colour {
    double r = 0, g = 0, b = 0;
};

Colour operator*(const Colour& c, double k);
Colour operator+(const Colour& a, const Colour& b);
Colour mix(const Colour& a, const Colour& b, double t);

class Image {
public:
    Image(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    Rgb& at(int x, int y) { return m_pixels[static_cast<std::size_t>(y * m_width + x)]; }
    const Rgb& at(int x, int y) const { return m_pixels[static_cast<std::size_t>(y * m_width + x)]; }

private:
    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

// What a picture shows at a point (x, y in pixels, y down); nothing for the black background.
using Shader = std::function<std::optional<Colour>(double x, double y)>;

// Averages `samples` x `samples` points of each pixel; the background counts as black.
Image render(int width, int height, int samples, const Shader& shade);

// The same with a coverage per pixel (0..1) beside the colour, for pictures whose background is
// not black (the icon's transparent parts): the colour is averaged over the covered samples only.
struct CoverageImage {
    std::vector<Colour> colour;
    std::vector<double> coverage;
};
CoverageImage renderWithCoverage(int width, int height, int samples, const Shader& shade);

std::uint8_t toByte(double v);

struct Point {
    double x, y;
};

// Even-odd test of a closed polygon.
bool insidePolygon(const std::vector<Point>& polygon, double x, double y);

}  // namespace velorin::pictures
