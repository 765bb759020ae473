// GDI's handles to their entries: a hash map that remembers the entry it found last, since a
// drawing call looks its DC and objects up several times. Used under the kernel's lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace velorin::gdi {

template <class Entry> class HandleMap {
public:
    using Map = std::unordered_map<std::uintptr_t, Entry>;

    // The entry of `key`, or null. Entries stay where they are while others come and go.
    Entry* find(std::uintptr_t key) const
    {
        if (m_last && key == m_lastKey)
            return m_last;
        const auto it = m_map.find(key);
        if (it == m_map.end())
            return nullptr;
        m_lastKey = key;
        m_last = &it->second;
        return m_last;
    }
    void emplace(std::uintptr_t key, Entry entry) { m_map.emplace(key, std::move(entry)); }
    void erase(std::uintptr_t key)
    {
        if (key == m_lastKey)
            m_last = nullptr;
        m_map.erase(key);
    }
    template <class Predicate> std::size_t eraseIf(Predicate predicate)
    {
        m_last = nullptr;
        return std::erase_if(m_map, predicate);
    }
    std::size_t size() const { return m_map.size(); }
    typename Map::iterator begin() { return m_map.begin(); }
    typename Map::iterator end() { return m_map.end(); }
    typename Map::const_iterator begin() const { return m_map.cbegin(); }
    typename Map::const_iterator end() const { return m_map.cend(); }

private:
    mutable Map m_map;
    mutable std::uintptr_t m_lastKey = 0;
    mutable Entry* m_last = nullptr;
};

}  // namespace velorin::gdi
