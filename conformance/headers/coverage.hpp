// What the device's headers declare, found in their text, so that a declaration added there and
// left out of the lists is noticed.
#pragma once

#include "conformance/headers/listing.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace velorin::conformance {

struct DeclaredName {
    std::string name;
    std::string where;  // file:line, relative to the headers' folder
};

// The names that one line of a header declares, in the style those headers are written in, as
// CE's SDK writes its own: one declaration a line, at the start of it (#define NAME, typedef ...
// NAME;, typedef RET (CALLBACK *NAME)(...), RET NAME(...) for a function, and a typedef'd
// record's or enumeration's names on the line that closes its body: } NAME, *LPNAME;).
std::vector<std::string> namesDeclaredOn(const std::string& line);

// The names declared by the headers that programs include (windows.h, windowsx.h, msgqueue.h,
// pm.h in `platformDir`) and by the headers they include with quotes.
std::vector<DeclaredName> declaredNames(const std::filesystem::path& platformDir);

// The names that no line of `lines` is about.
std::vector<DeclaredName> notListed(const std::vector<DeclaredName>& names, const std::vector<Line>& lines);

}  // namespace velorin::conformance
