// Checks of what the device's code takes for granted: on in debug and sanitizer builds (and in
// any build configured with VELORIN_CHECKS), compiled out of release builds.
#pragma once

namespace velorin::kernel {

#if defined(VELORIN_CHECKS) || !defined(NDEBUG)
inline constexpr bool kCheckInvariants = true;
#else
inline constexpr bool kCheckInvariants = false;
#endif

// Where a check stands: its caller's file, line and function, as a defaulted argument. Not
// std::source_location, which the fuzzing build's clang 14 cannot compile with GCC 12's library.
struct CheckSite {
    constexpr CheckSite(const char* inFile = __builtin_FILE(), unsigned atLine = __builtin_LINE(),
                        const char* inFunction = __builtin_FUNCTION())
        : file(inFile), line(atLine), function(inFunction)
    {
    }
    const char* file;
    unsigned line;
    const char* function;
};

// Prints what failed and where, and aborts.
[[noreturn]] void invariantFailed(const char* what, CheckSite where);

// `holds` is evaluated in every build: keep it cheap, or put the call under
// `if constexpr (kCheckInvariants)`.
inline void check(bool holds, const char* what, CheckSite where = {})
{
    if constexpr (kCheckInvariants) {
        if (!holds)
            invariantFailed(what, where);
    }
}

}  // namespace velorin::kernel
