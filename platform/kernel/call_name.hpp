// The name of a platform function as the call wrappers take it.
#pragma once

#include <cstddef>
#include <string_view>

namespace velorin::kernel {

// The fault plan finds a function's counter again by the address of its name, so a name must
// outlive every call: one built at run time could share an address with an earlier, freed one
// and count as that function. Only a string literal (or another array of static storage) makes
// a CallName: the constructor runs at compile time, where a pointer to a local buffer or a
// std::string's text is not a constant, so such a name does not compile.
class CallName {
public:
    template <std::size_t N> consteval CallName(const char (&literal)[N]) : m_text(literal, N - 1)
    {
        if (literal[N - 1] != '\0')
            throw "a call name is a string literal";  // not a constant expression: does not compile
    }

    constexpr std::string_view text() const { return m_text; }
    constexpr operator std::string_view() const { return m_text; }

private:
    std::string_view m_text;
};

}  // namespace velorin::kernel
