// One string taken from its block, its surrogate pairs made into the device's one-unit characters.
#include "resources/string_table.hpp"

#include "resources/byte_reader.hpp"

namespace velorin::resources {

namespace {

// The device's wide text holds a character in one unit, where UTF-16 needs a pair.
std::wstring combineSurrogates(const std::wstring& units)
{
    std::wstring text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const wchar_t unit = units[i];
        const bool paired = unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                            units[i + 1] < 0xE000;
        if (!paired) {
            text += unit;
            continue;
        }
        text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
    }
    return text;
}

}  // namespace

std::wstring stringOfBlock(std::span<const std::uint8_t> block, UINT id, const std::string& source)
{
    ByteReader reader(block, source);
    for (UINT slot = 0; slot < (id & 0x0F); ++slot)
        reader.skip(2 * std::size_t{reader.u16()});
    const std::uint16_t count = reader.u16();
    std::wstring units;
    for (std::uint16_t i = 0; i < count; ++i)
        units += static_cast<wchar_t>(reader.u16());
    return combineSurrogates(units);
}

}  // namespace velorin::resources
