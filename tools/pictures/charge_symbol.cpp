// The charge symbol: a white lightning bolt inside columns 3 to 52 and rows 3 to 78, its edges
// smoothed into grey against the black that the renderer treats as transparent.
#include "pictures.hpp"

namespace velorin::pictures {
namespace {

constexpr int kWidth = 56;
constexpr int kHeight = 82;

}  // namespace

const std::vector<Point>& boltOutline()
{
    // Clockwise from the top left: the upper arm slants down to the left, a step out to the right,
    // and the lower arm narrows to the tip.
    static const std::vector<Point> outline = {
        {23.0, 3.0},   // top left
        {47.5, 3.0},   // top right
        {33.5, 32.0},  // upper arm's right edge meets the step
        {51.5, 32.0},  // step's right end
        {11.0, 79.0},  // tip
        {22.5, 44.5},  // lower arm's left edge
        {4.0, 44.5},   // upper arm's lower left corner
    };
    return outline;
}

Image drawChargeSymbol()
{
    return render(kWidth, kHeight, 16, [](double x, double y) -> std::optional<Colour> {
        if (!insidePolygon(boltOutline(), x, y)) {
            return std::nullopt;
        }
        // A touch of shade towards the tip gives the flat shape some body.
        const double shade = 255 - 18 * (y - 3) / 76;
        return Colour{shade, shade, shade};
    });
}

}  // namespace velorin::pictures
