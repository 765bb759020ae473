// A .res file read and checked header by header, and resource types and names as keys, by ordinal
// or by text.
#include "resources/resource_module.hpp"

#include "resources/byte_reader.hpp"
#include "trace/trace_recorder.hpp"

#include <algorithm>
#include <cwctype>

namespace velorin::resources {

namespace {
// Every header holds at least the two sizes, two ordinals and the 16 bytes after the names.
constexpr std::size_t kMinHeaderSize = 32;

ResourceKey keyAt(ByteReader& in, const char* what)
{
    const std::size_t at = in.offset();
    const std::uint16_t first = in.u16();
    if (first == 0xFFFF)
        return ResourceKey::of(in.u16());
    // Text: this unit and the ones after it, up to a zero.
    if (first == 0)
        in.failAt(at, std::string(what) + " is empty");
    std::wstring text(1, static_cast<wchar_t>(first));
    text += in.sz(what);
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towupper(c); });
    return ResourceKey{std::nullopt, std::move(text)};
}
}  // namespace

ResourceKey ResourceKey::of(LPCWSTR name)
{
    const auto value = reinterpret_cast<std::uintptr_t>(name);
    if (value >> 16 == 0)
        return of(static_cast<WORD>(value));
    std::wstring text(name);
    if (text.size() > 1 && text[0] == L'#' &&
        std::all_of(text.begin() + 1, text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
        const unsigned long n = std::stoul(std::wstring(text.begin() + 1, text.end()));
        if (n <= 0xFFFF)
            return of(static_cast<WORD>(n));
    }
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towupper(c); });
    return ResourceKey{std::nullopt, std::move(text)};
}

std::string ResourceKey::describe() const
{
    return ordinal ? std::to_string(*ordinal) : trace::quoted(text);
}

ResourceModule ResourceModule::parse(std::span<const std::uint8_t> res, const std::string& source)
{
    ResourceModule module;
    module.m_bytes.assign(res.begin(), res.end());
    module.m_source = source;
    ByteReader in(module.m_bytes, source);

    bool first = true;
    while (in.remaining() > 0) {
        const std::size_t start = in.offset();
        if (in.remaining() < kMinHeaderSize)
            in.fail(std::to_string(in.remaining()) + " stray bytes after the last resource");
        const std::uint32_t dataSize = in.u32();
        const std::uint32_t headerSize = in.u32();
        if (headerSize < kMinHeaderSize || headerSize > in.remaining() + 8)
            in.failAt(start + 4, "header size " + std::to_string(headerSize) + " is out of range");
        ResourceEntry entry;
        entry.type = keyAt(in, "the type name");
        entry.name = keyAt(in, "the resource name");
        in.align(4);
        entry.dataVersion = in.u32();
        entry.memoryFlags = in.u16();
        entry.language = in.u16();
        entry.version = in.u32();
        entry.characteristics = in.u32();
        if (in.offset() != start + headerSize)
            in.failAt(start + 4, "header size " + std::to_string(headerSize) + " does not match its fields (" +
                                     std::to_string(in.offset() - start) + " bytes)");
        if (dataSize > in.remaining())
            in.failAt(start, "the data of " + std::to_string(dataSize) + " bytes runs past the end");
        entry.offset = in.offset();
        entry.size = dataSize;
        in.skip(dataSize);
        in.align(4);

        if (first) {
            // A .res file opens with an empty entry of type 0 and name 0, which marks its format.
            if (dataSize != 0 || entry.type != ResourceKey::of(WORD{0}) || entry.name != ResourceKey::of(WORD{0}))
                in.failAt(0, "not a resource file: it does not open with the empty entry");
            first = false;
            continue;
        }
        module.m_entries.push_back(std::move(entry));
    }
    if (first)
        in.failAt(0, "empty file");
    return module;
}

const ResourceEntry* ResourceModule::find(const ResourceKey& type, const ResourceKey& name) const
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const ResourceEntry& e) { return e.type == type && e.name == name; });
    return it == m_entries.end() ? nullptr : &*it;
}

bool ResourceModule::hasType(const ResourceKey& type) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const ResourceEntry& e) { return e.type == type; });
}

}  // namespace velorin::resources
