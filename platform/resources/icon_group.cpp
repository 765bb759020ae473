// An icon group's entries read and checked, and the image LoadIconW takes chosen among them.
#include "resources/icon_group.hpp"

#include "resources/byte_reader.hpp"

#include <cstdlib>
#include <tuple>

namespace velorin::resources {

std::vector<IconDirEntry> parseIconGroup(std::span<const std::uint8_t> bytes, const std::string& source)
{
    ByteReader in(bytes, source);
    if (in.u16() != 0)
        in.failAt(0, "reserved word is not 0");
    const WORD type = in.u16();
    if (type != 1)
        in.failAt(2, "type " + std::to_string(type) + " is not an icon group (1)");
    const WORD count = in.u16();
    if (count == 0)
        in.failAt(4, "the group holds no images");
    std::vector<IconDirEntry> out;
    for (WORD i = 0; i < count; ++i) {
        IconDirEntry e;
        const int width = in.u8();
        const int height = in.u8();
        e.width = width == 0 ? 256 : width;
        e.height = height == 0 ? 256 : height;
        e.colorCount = in.u8();
        in.skip(1);
        e.planes = in.u16();
        e.bitCount = in.u16();
        e.bytes = in.u32();
        e.id = in.u16();
        out.push_back(e);
    }
    if (in.remaining() != 0)
        in.fail(std::to_string(in.remaining()) + " bytes after the last of " + std::to_string(count) + " entries");
    return out;
}

const IconDirEntry& chooseIconImage(const std::vector<IconDirEntry>& images, int size, int displayBits)
{
    // Smaller keys win: distance from the size asked for, then a depth the display can show,
    // then the deepest such (or the shallowest of those it cannot).
    const auto key = [&](const IconDirEntry& e) {
        const int distance = std::abs(e.width - size) + std::abs(e.height - size);
        const bool fits = e.bitCount <= displayBits;
        return std::make_tuple(distance, !fits, fits ? -e.bitCount : e.bitCount);
    };
    const IconDirEntry* best = &images.front();
    for (const IconDirEntry& e : images)
        if (key(e) < key(*best))
            best = &e;
    return *best;
}

}  // namespace velorin::resources
