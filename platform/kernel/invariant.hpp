// Checks of what the device's code takes for granted: on in debug and sanitizer builds (and in
// any build configured with VELORIN_CHECKS), compiled out of release builds.
#pragma once

#include <source_location>

namespace velorin::kernel {

#if defined(VELORIN_CHECKS) || !defined(NDEBUG)
inline constexpr bool kCheckInvariants = true;
#else
inline constexpr bool kCheckInvariants = false;
#endif

// Prints what failed and where, and aborts.
[[noreturn]] void invariantFailed(const char* what, std::source_location where);

// `holds` is evaluated in every build: keep it cheap, or put the call under
// `if constexpr (kCheckInvariants)`.
inline void check(bool holds, const char* what, std::source_location where = std::source_location::current())
{
    if constexpr (kCheckInvariants) {
        if (!holds)
            invariantFailed(what, where);
    }
}

}  // namespace velorin::kernel
