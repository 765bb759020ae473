// Where a failed check of the device's invariants is reported before the abort.
#include "kernel/invariant.hpp"

#include <cstdio>
#include <cstdlib>

namespace velorin::kernel {

void invariantFailed(const char* what, CheckSite where)
{
    std::fprintf(stderr, "%s:%u: %s: invariant failed: %s\n", where.file, where.line, where.function, what);
    std::abort();
}

}  // namespace velorin::kernel
