// Where a failed check of the device's invariants is reported before the abort.
#include "kernel/invariant.hpp"

#include <cstdio>
#include <cstdlib>

namespace velorin::kernel {

void invariantFailed(const char* what, std::source_location where)
{
    std::fprintf(stderr, "%s:%u: %s: invariant failed: %s\n", where.file_name(), static_cast<unsigned>(where.line()),
                 where.function_name(), what);
    std::abort();
}

}  // namespace velorin::kernel
