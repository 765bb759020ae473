// Open keys in slots, their HKEY values made of a tag, the slot and its generation.
#include "registry/key_handles.hpp"

#include <algorithm>
#include <utility>

namespace velorin::registry {

namespace {
// Tagged apart from the kernel's handles, and well below the predefined roots.
constexpr std::uintptr_t kTag = 0x40000000;
constexpr std::uintptr_t kIndexBits = 16;
constexpr std::uintptr_t kIndexMask = (std::uintptr_t{1} << kIndexBits) - 1;
constexpr std::uint32_t kGenerationMask = 0xFFF;

HKEY encode(std::size_t index, std::uint32_t generation)
{
    return reinterpret_cast<HKEY>(kTag | (std::uintptr_t{generation} << (kIndexBits + 2)) | ((index + 1) << 2));
}
}  // namespace

HKEY KeyHandles::add(std::shared_ptr<Key> key, kernel::ProcessId owner)
{
    std::size_t index;
    if (!m_free.empty()) {
        index = m_free.front();
        m_free.erase(m_free.begin());
    } else {
        index = m_slots.size();
        m_slots.emplace_back();
    }
    Slot& slot = m_slots[index];
    slot.generation = (slot.generation % kGenerationMask) + 1;
    slot.key = std::move(key);
    slot.owner = owner;
    return encode(index, slot.generation);
}

const KeyHandles::Slot* KeyHandles::slotOf(HKEY handle) const
{
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    if ((value & ~(kTag | (std::uintptr_t{kGenerationMask} << (kIndexBits + 2)) | (kIndexMask << 2))) != 0 ||
        (value & kTag) == 0)
        return nullptr;
    const std::uintptr_t position = (value >> 2) & kIndexMask;
    const auto generation = static_cast<std::uint32_t>((value >> (kIndexBits + 2)) & kGenerationMask);
    if (position == 0 || position > m_slots.size())
        return nullptr;
    const Slot& slot = m_slots[position - 1];
    return slot.key && slot.generation == generation ? &slot : nullptr;
}

KeyHandles::Slot* KeyHandles::slotOf(HKEY handle)
{
    return const_cast<Slot*>(std::as_const(*this).slotOf(handle));
}

std::shared_ptr<Key> KeyHandles::find(HKEY handle) const
{
    const Slot* slot = slotOf(handle);
    return slot ? slot->key : nullptr;
}

bool KeyHandles::close(HKEY handle)
{
    Slot* slot = slotOf(handle);
    if (!slot)
        return false;
    slot->key.reset();
    m_free.push_back(static_cast<std::size_t>(slot - m_slots.data()));
    return true;
}

void KeyHandles::closeOwnedBy(kernel::ProcessId owner)
{
    for (auto& slot : m_slots) {
        if (slot.key && slot.owner == owner) {
            slot.key.reset();
            m_free.push_back(static_cast<std::size_t>(&slot - m_slots.data()));
        }
    }
}

std::size_t KeyHandles::openCount() const
{
    return static_cast<std::size_t>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.key != nullptr; }));
}

}  // namespace velorin::registry
