// The device's headers read line by line, through their includes, for the names each line
// declares, and the names that no listing holds.
#include "conformance/headers/coverage.hpp"

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>

namespace velorin::conformance {

namespace fs = std::filesystem;

namespace {

// Not compared: the tags behind handles (HWND__), which only STRICT headers name, the calling
// conventions, which name nothing on the device, and the device's own guards (VELORIN_...).
bool leftAside(const std::string& name)
{
    return name.ends_with("__") || name == "WINAPI" || name == "CALLBACK" ||
           name.starts_with("VELORIN_");
}

void scan(const fs::path& root, const fs::path& relative, std::set<fs::path>& seen, std::vector<DeclaredName>& out)
{
    if (!seen.insert(relative).second)
        return;
    std::ifstream in(root / relative);
    if (!in)
        throw std::runtime_error((root / relative).string() + ": cannot be read");
    static const std::regex include(R"re(^#include "([^"]+)")re");
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        std::smatch match;
        if (std::regex_search(text, match, include)) {
            scan(root, match[1].str(), seen, out);
            continue;
        }
        const std::string where = relative.string() + ":" + std::to_string(number);
        for (const std::string& name : namesDeclaredOn(text)) {
            if (!leftAside(name))
                out.push_back({name, where});
        }
    }
}

}  // namespace

std::vector<std::string> namesDeclaredOn(const std::string& line)
{
    // The struct or enum tag of "typedef struct tagRECT {" is left aside: the typedef names come
    // on the line that closes the body, "} RECT, *LPRECT;".
    static const std::regex define(R"(^#define (\w+))");
    static const std::regex pointerTypedef(R"(^typedef [^(]*\((?:\w+ )?\*(\w+)\)\()");  // functions' pointers
    static const std::regex openingTypedef(R"(^typedef (?:struct|enum|union) \w+ \{)");
    static const std::regex typedefName(R"(^typedef [^;{]*?(\w+);)");
    static const std::regex function(R"(^(?:const )?[A-Za-z_]\w*(?: \*| )(?:WINAPI )?(\w+)\()");
    static const std::regex closing(R"(^\} ([^;]+);)");
    static const std::regex listed(R"(\*?(\w+))");
    static const std::regex enumerator(R"((?:\{|,) *(\w+))");
    std::vector<std::string> names;
    std::smatch match;
    auto allListed = [&](const std::string& list) {
        for (std::sregex_iterator it(list.begin(), list.end(), listed), end; it != end; ++it)
            names.push_back((*it)[1].str());
    };
    if (std::regex_search(line, match, define) || std::regex_search(line, match, pointerTypedef) ||
        std::regex_search(line, match, function)) {
        names.push_back(match[1].str());
    } else if (std::regex_search(line, match, openingTypedef)) {
        // A whole enumeration on one line: its enumerators, then its names.
        const std::size_t open = line.find('{');
        const std::size_t close = line.find('}');
        if (close != std::string::npos) {
            const std::string body = line.substr(open, close - open);
            for (std::sregex_iterator it(body.begin(), body.end(), enumerator), end; it != end; ++it)
                names.push_back((*it)[1].str());
            const std::string rest = line.substr(close);
            if (std::regex_search(rest, match, closing))
                allListed(match[1].str());
        }
    } else if (std::regex_search(line, match, typedefName)) {
        names.push_back(match[1].str());
    } else if (std::regex_search(line, match, closing)) {
        allListed(match[1].str());
    }
    return names;
}

std::vector<DeclaredName> declaredNames(const fs::path& platformDir)
{
    std::vector<DeclaredName> names;
    std::set<fs::path> seen;
    for (const char* header : {"windows.h", "windowsx.h", "msgqueue.h", "pm.h"})
        scan(platformDir, header, seen, names);
    return names;
}

std::vector<DeclaredName> notListed(const std::vector<DeclaredName>& names, const std::vector<Line>& lines)
{
    std::set<std::string> listed;
    for (const Line& line : lines)
        listed.insert(line.declarationName());
    std::vector<DeclaredName> missing;
    for (const DeclaredName& name : names) {
        if (!listed.contains(name.name))
            missing.push_back(name);
    }
    return missing;
}

}  // namespace velorin::conformance
