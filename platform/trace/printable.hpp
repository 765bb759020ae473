// Text as it can be read in a trace line or a message: control characters (a NUL among them)
// as \xNN, so that nothing is cut or hidden where it is printed. Header-only, so that the
// scenario language, which stands apart from the device, shows its errors the same way.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace velorin::trace {

// With `quotes`, also `"` and `\` escaped, for text inside a quoted string.
inline std::string escaped(std::string_view text, bool quotes)
{
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (quotes && (ch == '"' || ch == '\\')) {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out;
}

inline std::string printable(std::string_view text)
{
    return escaped(text, false);
}

}  // namespace velorin::trace
