// Handing out, looking up and closing the kernel's handles.
#include "kernel/handle_table.hpp"

#include <algorithm>

namespace velorin::kernel {

namespace {
constexpr std::uintptr_t kIndexBits = 18;
constexpr std::uintptr_t kIndexMask = (std::uintptr_t{1} << kIndexBits) - 1;
constexpr std::uint32_t kGenerationMask = 0xFFF;

HANDLE encode(std::size_t index, std::uint32_t generation)
{
    const std::uintptr_t value = (std::uintptr_t{generation} << (kIndexBits + 2)) | ((index + 1) << 2);
    return reinterpret_cast<HANDLE>(value);
}
}  // namespace

HANDLE HandleTable::add(std::shared_ptr<KernelObject> object, ProcessId owner)
{
    std::size_t index;
    if (!m_free.empty()) {
        // Reuse the oldest freed slot so a just-closed handle stays invalid as long as possible.
        index = m_free.front();
        m_free.erase(m_free.begin());
    } else {
        index = m_slots.size();
        m_slots.emplace_back();
    }
    Slot& slot = m_slots[index];
    slot.generation = (slot.generation % kGenerationMask) + 1;  // never 0
    slot.object = std::move(object);
    slot.owner = owner;
    ++slot.object->handleCount;
    return encode(index, slot.generation);
}

const HandleTable::Slot* HandleTable::slotOf(HANDLE handle) const
{
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    if ((value & 3) != 0)
        return nullptr;
    const std::uintptr_t position = (value >> 2) & kIndexMask;
    const auto generation = static_cast<std::uint32_t>(value >> (kIndexBits + 2));
    if (position == 0 || position > m_slots.size() || generation == 0 || generation > kGenerationMask)
        return nullptr;
    const Slot& slot = m_slots[position - 1];
    if (!slot.object || slot.generation != generation)
        return nullptr;
    return &slot;
}

std::shared_ptr<KernelObject> HandleTable::find(HANDLE handle) const
{
    const Slot* slot = slotOf(handle);
    return slot ? slot->object : nullptr;
}

void HandleTable::release(Slot& slot)
{
    auto object = std::move(slot.object);
    slot.object.reset();
    m_free.push_back(static_cast<std::size_t>(&slot - m_slots.data()));
    check(object->handleCount > 0, "an object counts each of its handles");
    if (--object->handleCount == 0)
        object->lastHandleClosed();
}

bool HandleTable::close(HANDLE handle)
{
    const Slot* slot = slotOf(handle);
    if (!slot)
        return false;
    release(m_slots[static_cast<std::size_t>(slot - m_slots.data())]);
    return true;
}

void HandleTable::closeOwnedBy(ProcessId owner)
{
    for (auto& slot : m_slots) {
        if (slot.object && slot.owner == owner)
            release(slot);
    }
}

std::size_t HandleTable::openCount() const
{
    return static_cast<std::size_t>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.object != nullptr; }));
}

}  // namespace velorin::kernel
