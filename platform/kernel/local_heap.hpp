// The processes' local heaps (LocalAlloc / LocalFree). A block belongs to the process that
// allocated it and is released when that process ends, as its heap would be.
#pragma once

#include "kernel/windef.h"

#include <cstddef>
#include <map>
#include <memory>

namespace velorin::kernel {

using ProcessId = DWORD;

class LocalHeap {
public:
    // Zero-filled when `zeroed`; null for a zero-byte request.
    void* allocate(ProcessId pid, std::size_t bytes, bool zeroed);
    // False when `block` is not a live block of `pid`.
    bool release(ProcessId pid, void* block);
    void releaseAll(ProcessId pid);
    std::size_t liveBlocks(ProcessId pid) const;

private:
    struct Block {
        ProcessId owner;
        std::unique_ptr<std::byte[]> bytes;
    };
    std::map<void*, Block> m_blocks;
};

}  // namespace velorin::kernel
