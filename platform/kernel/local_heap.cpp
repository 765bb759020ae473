// Local heap blocks kept by the process that owns them, freed only by it or when it ends.
#include "kernel/local_heap.hpp"

#include <algorithm>
#include <iterator>

namespace velorin::kernel {

void* LocalHeap::allocate(ProcessId pid, std::size_t bytes, bool zeroed)
{
    if (bytes == 0)
        return nullptr;
    auto storage = zeroed ? std::make_unique<std::byte[]>(bytes) : std::make_unique_for_overwrite<std::byte[]>(bytes);
    void* address = storage.get();
    m_blocks.emplace(address, Block{pid, std::move(storage)});
    return address;
}

bool LocalHeap::release(ProcessId pid, void* block)
{
    const auto it = m_blocks.find(block);
    if (it == m_blocks.end() || it->second.owner != pid)
        return false;
    m_blocks.erase(it);
    return true;
}

void LocalHeap::releaseAll(ProcessId pid)
{
    std::erase_if(m_blocks, [pid](const auto& entry) { return entry.second.owner == pid; });
}

std::size_t LocalHeap::liveBlocks(ProcessId pid) const
{
    return static_cast<std::size_t>(std::count_if(m_blocks.begin(), m_blocks.end(),
                                                  [pid](const auto& entry) { return entry.second.owner == pid; }));
}

}  // namespace velorin::kernel
