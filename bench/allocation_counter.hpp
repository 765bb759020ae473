// Counts of the program's heap: what operator new holds (the C++ of the device and the
// utility), and what malloc holds in all (with the C libraries'). Linked only into programs that
// replace the global operator new with the counting one of allocation_counter.cpp.
#pragma once

#include <cstdint>

namespace velorin::bench {

struct HeapCounts {
    std::int64_t liveBlocks = 0;   // operator new blocks not yet deleted
    std::int64_t liveBytes = 0;    // their usable size
    std::int64_t madeBlocks = 0;   // operator new calls since start
    std::int64_t mallocBytes = 0;  // in use from malloc, all arenas and mappings
};

HeapCounts heapCounts();

}  // namespace velorin::bench
