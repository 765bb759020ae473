#include "image.hpp"

#include <algorithm>
#include <cmath>

namespace velorin::pictures {

Colour operator*(const Colour& c, double k)
{
    return {c.r * k, c.g * k, c.b * k};
}

Colour operator+(const Colour& a, const Colour& b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Colour mix(const Colour& a, const Colour& b, double t)
{
    return a * (1 - t) + b * t;
}

Image::Image(int width, int height)
    : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width * height))
{
}

std::uint8_t toByte(double v)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

CoverageImage renderWithCoverage(int width, int height, int samples, const Shader& shade)
{
    CoverageImage out;
    out.colour.resize(static_cast<std::size_t>(width * height));
    out.coverage.resize(out.colour.size());
    const double step = 1.0 / samples;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Colour sum;
            int hits = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    if (auto c = shade(x + (sx + 0.5) * step, y + (sy + 0.5) * step)) {
                        sum = sum + *c;
                        ++hits;
                    }
                }
            }
            const auto i = static_cast<std::size_t>(y * width + x);
            out.coverage[i] = static_cast<double>(hits) / (samples * samples);
            out.colour[i] = hits > 0 ? sum * (1.0 / hits) : Colour{};
        }
    }
    return out;
}

Image render(int width, int height, int samples, const Shader& shade)
{
    const CoverageImage sampled = renderWithCoverage(width, height, samples, shade);
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto i = static_cast<std::size_t>(y * width + x);
            const Colour c = sampled.colour[i] * sampled.coverage[i];
            image.at(x, y) = {toByte(c.r), toByte(c.g), toByte(c.b)};
        }
    }
    return image;
}

bool insidePolygon(const std::vector<Point>& polygon, double x, double y)
{
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point& a = polygon[i];
        const Point& b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

}  // namespace velorin::pictures
