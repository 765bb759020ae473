// The level gauge: ten bands of 17 rows; each holds a solid block, columns 2 to 8 and 14 rows
// tall, in its band's exact colour, green at the top to red at the bottom.
#include "pictures.hpp"

#include <array>

namespace velorin::pictures {
namespace {

constexpr int kWidth = 11;
constexpr int kBandHeight = 17;
constexpr int kBlockLeft = 2;
constexpr int kBlockRight = 8;
constexpr int kBlockTop = 1;  // within the band
constexpr int kBlockHeight = 14;

constexpr std::array<Rgb, 10> kBandColours = {{
    {97, 161, 68},
    {130, 169, 68},
    {158, 175, 67},
    {184, 178, 65},
    {205, 178, 65},
    {222, 176, 66},
    {211, 144, 53},
    {201, 111, 43},
    {192, 76, 36},
    {184, 26, 30},
}};

}  // namespace

Image drawGauge()
{
    Image image(kWidth, kBandHeight * static_cast<int>(kBandColours.size()));
    for (int band = 0; band < static_cast<int>(kBandColours.size()); ++band) {
        const int top = band * kBandHeight + kBlockTop;
        for (int y = top; y < top + kBlockHeight; ++y) {
            for (int x = kBlockLeft; x <= kBlockRight; ++x) {
                image.at(x, y) = kBandColours[static_cast<std::size_t>(band)];
            }
        }
    }
    return image;
}

}  // namespace velorin::pictures
