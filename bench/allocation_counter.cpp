// The global operator new and delete of a measuring program, counting what is live. Every
// form is replaced, so that no block is made by one allocator and freed by the other.
#include "bench/allocation_counter.hpp"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::int64_t> g_liveBlocks{0};
std::atomic<std::int64_t> g_liveBytes{0};
std::atomic<std::int64_t> g_madeBlocks{0};

void* counted(void* block)
{
    if (block) {
        g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
        g_madeBlocks.fetch_add(1, std::memory_order_relaxed);
        g_liveBytes.fetch_add(static_cast<std::int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
    }
    return block;
}

void* allocate(std::size_t size)
{
    return counted(std::malloc(size == 0 ? 1 : size));
}

void* allocateAligned(std::size_t size, std::align_val_t alignment)
{
    void* block = nullptr;
    const auto align = std::max(static_cast<std::size_t>(alignment), sizeof(void*));
    if (posix_memalign(&block, align, size == 0 ? 1 : size) != 0)
        return nullptr;
    return counted(block);
}

void release(void* block) noexcept
{
    if (!block)
        return;
    g_liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    g_liveBytes.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
    std::free(block);
}

void* orThrow(void* block)
{
    if (!block)
        throw std::bad_alloc();
    return block;
}

}  // namespace

namespace velorin::bench {

HeapCounts heapCounts()
{
    const struct mallinfo2 info = mallinfo2();
    return HeapCounts{g_liveBlocks.load(std::memory_order_relaxed), g_liveBytes.load(std::memory_order_relaxed),
                      g_madeBlocks.load(std::memory_order_relaxed),
                      static_cast<std::int64_t>(info.uordblks + info.hblkhd)};
}

}  // namespace velorin::bench

void* operator new(std::size_t size)
{
    return orThrow(allocate(size));
}
void* operator new[](std::size_t size)
{
    return orThrow(allocate(size));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
    return orThrow(allocateAligned(size, alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return orThrow(allocateAligned(size, alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateAligned(size, alignment);
}

void operator delete(void* block) noexcept
{
    release(block);
}
void operator delete[](void* block) noexcept
{
    release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    release(block);
}
void operator delete(void* block, std::align_val_t) noexcept
{
    release(block);
}
void operator delete[](void* block, std::align_val_t) noexcept
{
    release(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept
{
    release(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept
{
    release(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    release(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    release(block);
}
