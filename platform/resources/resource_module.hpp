// A program's resource module: the resources of a Win32 .res file (the empty first entry, then
// a RESOURCEHEADER and its data per resource), looked up by type and name.
#pragma once

#include "kernel/windef.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velorin::resources {

// Resource types, as the system numbers them.
inline constexpr WORD kRtCursor = 1;
inline constexpr WORD kRtBitmap = 2;
inline constexpr WORD kRtIcon = 3;
inline constexpr WORD kRtMenu = 4;
inline constexpr WORD kRtDialog = 5;
inline constexpr WORD kRtString = 6;
inline constexpr WORD kRtRcData = 10;
inline constexpr WORD kRtGroupCursor = 12;
inline constexpr WORD kRtGroupIcon = 14;

// A type or name of a resource: an ordinal, or text (kept in upper case, as the system compares
// names without regard to case).
struct ResourceKey {
    std::optional<WORD> ordinal;
    std::wstring text;

    static ResourceKey of(WORD id) { return ResourceKey{id, {}}; }
    // MAKEINTRESOURCEW values are ordinals; "#130" is the ordinal 130 too, as on the system.
    static ResourceKey of(LPCWSTR name);
    bool operator==(const ResourceKey&) const = default;
    std::string describe() const;
};

struct ResourceEntry {
    ResourceKey type;
    ResourceKey name;
    WORD language = 0;
    WORD memoryFlags = 0;
    DWORD dataVersion = 0;
    DWORD version = 0;
    DWORD characteristics = 0;
    std::size_t offset = 0;  // of the data, in the module's bytes
    std::size_t size = 0;
};

class ResourceModule {
public:
    // Throws ResourceFormatError naming `source`, the byte offset and what is wrong.
    static ResourceModule parse(std::span<const std::uint8_t> res, const std::string& source = "resource module");

    // The first resource of that type and name, in any language; null when there is none.
    const ResourceEntry* find(const ResourceKey& type, const ResourceKey& name) const;
    bool hasType(const ResourceKey& type) const;
    std::span<const std::uint8_t> data(const ResourceEntry& entry) const
    {
        return std::span<const std::uint8_t>(m_bytes).subspan(entry.offset, entry.size);
    }
    const std::vector<ResourceEntry>& entries() const { return m_entries; }
    const std::string& source() const { return m_source; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::vector<ResourceEntry> m_entries;
    std::string m_source;
};

}  // namespace velorin::resources
