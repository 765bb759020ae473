// The few lines the CE layer's checks need in place of a test framework (none is built for
// mingw-w64 here): a named check that prints what was expected and what happened when it fails.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <type_traits>

namespace velorin::ce_test {

struct Tally {
    int checks = 0;
    int failed = 0;
    const char* area = "";
};
inline Tally g_tally;

// The area that the failures of the checks that follow are reported under.
inline void area(const char* name)
{
    g_tally.area = name;
}

inline std::string show(const std::string& text)
{
    return "\"" + text + "\"";
}
inline std::string show(const char* text)
{
    return show(std::string(text));
}

// BYTE, WORD, DWORD, LONG, BOOL and enums alike.
template <class T> constexpr bool kInteger = std::is_integral_v<T> || std::is_enum_v<T>;

template <class T, std::enable_if_t<kInteger<T>, int> = 0> std::string show(T value)
{
    return std::to_string(static_cast<long long>(value));
}

inline void record(bool held, const char* what, const std::string& expected, const std::string& got)
{
    ++g_tally.checks;
    if (held)
        return;
    ++g_tally.failed;
    std::printf("FAILED %s: %s: expected %s, got %s\n", g_tally.area, what, expected.c_str(), got.c_str());
    std::fflush(stdout);
}

template <class Got, class Expected> void checkEq(const char* what, const Got& got, const Expected& expected)
{
    bool held = false;
    // Integers compare by value whatever their types.
    if constexpr (kInteger<Got> && kInteger<Expected>)
        held = static_cast<long long>(got) == static_cast<long long>(expected);
    else
        held = got == expected;
    record(held, what, show(expected), show(got));
}

inline void checkTrue(const char* what, bool held, const std::string& got)
{
    record(held, what, "true", got);
}

// "ok", or "error N" with the thread's last error, read before anything can change it.
inline std::string outcome(BOOL ok)
{
    const DWORD error = GetLastError();
    return ok ? std::string("ok") : "error " + std::to_string(error);
}

}  // namespace velorin::ce_test
