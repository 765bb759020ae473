// Pictures reduced to at most 256 colours, as a GIF stores them.
#include "sim/output/palette.hpp"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace velorin::sim {

namespace {

constexpr std::size_t kMaxColours = 256;

int channel(gdi::Rgb colour, int which)
{
    return static_cast<int>((colour >> (16 - 8 * which)) & 0xFF);
}

struct Counted {
    gdi::Rgb colour;
    std::uint64_t count;
};

// A box of the colour cube: a run of `colours` [begin, end).
struct Box {
    std::size_t begin;
    std::size_t end;
    std::uint64_t pixels;
    int widest;  // the channel with the greatest range
    int range;
};

Box makeBox(const std::vector<Counted>& colours, std::size_t begin, std::size_t end)
{
    Box box{begin, end, 0, 0, -1};
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    for (std::size_t i = begin; i < end; ++i) {
        box.pixels += colours[i].count;
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], channel(colours[i].colour, c));
            high[c] = std::max(high[c], channel(colours[i].colour, c));
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (high[c] - low[c] > box.range) {
            box.range = high[c] - low[c];
            box.widest = c;
        }
    }
    return box;
}

std::vector<gdi::Rgb> medianCut(std::vector<Counted> colours)
{
    std::vector<Box> boxes{makeBox(colours, 0, colours.size())};
    while (boxes.size() < kMaxColours) {
        // The most crowded box that can still be split; ties go to the earlier box.
        auto pick = boxes.end();
        for (auto it = boxes.begin(); it != boxes.end(); ++it) {
            if (it->end - it->begin > 1 && (pick == boxes.end() || it->pixels > pick->pixels))
                pick = it;
        }
        if (pick == boxes.end())
            break;
        const Box box = *pick;
        const int c = box.widest;
        // Ordered by the widest channel, then by the whole colour, so that the order is total.
        std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
                  colours.begin() + static_cast<std::ptrdiff_t>(box.end), [c](const Counted& a, const Counted& b) {
                      const int ka = channel(a.colour, c);
                      const int kb = channel(b.colour, c);
                      return ka != kb ? ka < kb : a.colour < b.colour;
                  });
        std::uint64_t seen = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            seen += colours[i].count;
            split = i + 1;
            if (seen * 2 >= box.pixels)
                break;
        }
        *pick = makeBox(colours, box.begin, split);
        boxes.push_back(makeBox(colours, split, box.end));
    }
    std::vector<gdi::Rgb> palette;
    for (const Box& box : boxes) {
        std::array<std::uint64_t, 3> sum{};
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[static_cast<std::size_t>(c)] +=
                    static_cast<std::uint64_t>(channel(colours[i].colour, c)) * colours[i].count;
        }
        const auto mean = [&](int c) {
            return static_cast<std::uint8_t>((sum[static_cast<std::size_t>(c)] + box.pixels / 2) / box.pixels);
        };
        palette.push_back(gdi::rgb(mean(0), mean(1), mean(2)));
    }
    std::sort(palette.begin(), palette.end());
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

std::uint8_t nearest(const std::vector<gdi::Rgb>& palette, gdi::Rgb colour)
{
    std::size_t best = 0;
    int bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        int distance = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = channel(palette[i], c) - channel(colour, c);
            distance += d * d;
        }
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

IndexedPicture quantise(const std::vector<gdi::Rgb>& pixels)
{
    std::unordered_map<gdi::Rgb, std::uint64_t> counts;
    for (gdi::Rgb pixel : pixels)
        ++counts[pixel & 0xFFFFFF];
    std::vector<Counted> colours;
    colours.reserve(counts.size());
    for (const auto& [colour, count] : counts)
        colours.push_back({colour, count});
    std::sort(colours.begin(), colours.end(), [](const Counted& a, const Counted& b) { return a.colour < b.colour; });

    IndexedPicture picture;
    if (colours.size() <= kMaxColours) {
        for (const Counted& c : colours)
            picture.palette.push_back(c.colour);
        if (picture.palette.empty())
            picture.palette.push_back(0);
    } else {
        picture.palette = medianCut(std::move(colours));
    }
    std::unordered_map<gdi::Rgb, std::uint8_t> lookup;
    lookup.reserve(counts.size());
    picture.indices.reserve(pixels.size());
    for (gdi::Rgb pixel : pixels) {
        const gdi::Rgb colour = pixel & 0xFFFFFF;
        auto it = lookup.find(colour);
        if (it == lookup.end())
            it = lookup.emplace(colour, nearest(picture.palette, colour)).first;
        picture.indices.push_back(it->second);
    }
    return picture;
}

}  // namespace velorin::sim
