// GDI's handles to their entries: a hash map in front of which a few recent entries are kept by
// the handle's serial, since a frame looks the same DCs, bitmaps and brushes up again and again,
// and the map's search divides by its bucket count. Used under the kernel's lock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace velorin::gdi {

// Not a slot table like the kernel's and the registry's: GDI's handles carry their own tags and serials.
template <class Entry> class HandleMap {
public:
    using Map = std::unordered_map<std::uintptr_t, Entry>;

    // The entry of `key`, or null. Entries stay where they are while others come and go.
    Entry* find(std::uintptr_t key) const
    {
        Recent& recent = m_recent[slotOf(key)];
        if (recent.entry && recent.key == key)
            return recent.entry;
        const auto it = m_map.find(key);
        if (it == m_map.end())
            return nullptr;
        recent = {key, &it->second};
        return recent.entry;
    }
    void emplace(std::uintptr_t key, Entry entry) { m_map.emplace(key, std::move(entry)); }
    void erase(std::uintptr_t key)
    {
        Recent& recent = m_recent[slotOf(key)];
        if (recent.key == key)
            recent = {};
        m_map.erase(key);
    }
    template <class Predicate> std::size_t eraseIf(Predicate predicate)
    {
        m_recent.fill({});
        return std::erase_if(m_map, predicate);
    }
    std::size_t size() const { return m_map.size(); }
    typename Map::iterator begin() { return m_map.begin(); }
    typename Map::iterator end() { return m_map.end(); }
    typename Map::const_iterator begin() const { return m_map.cbegin(); }
    typename Map::const_iterator end() const { return m_map.cend(); }

private:
    struct Recent {
        std::uintptr_t key = 0;
        Entry* entry = nullptr;
    };
    // Handles are a tag and a serial above two low bits, so handles made one after another
    // fall in different slots.
    static constexpr std::size_t kRecentSlots = 16;
    static std::size_t slotOf(std::uintptr_t key) { return (key >> 2) % kRecentSlots; }

    mutable Map m_map;
    mutable std::array<Recent, kRecentSlots> m_recent{};
};

}  // namespace velorin::gdi
