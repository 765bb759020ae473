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
    return name.ends_with("__") || name == "WINAPI" || name == "CALLBACK" || name == "static_assert" ||
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
    static const std::vector<std::regex> declarations = {
        std::regex(R"(^inline (?:constexpr|const) [\w:]+ (\w+) =)"),  // constants
        std::regex(R"(^(?:constexpr|inline) [\w:]+ (\w+)\()"),        // macros as functions
        std::regex(R"(^using (\w+) =)"),                              // types
        std::regex(R"(^(?:struct|enum) (\w+))"),                      // records, enumerations
        std::regex(R"(^#define (\w+))"),
        std::regex(R"(^(?:const )?[A-Za-z_]\w*\*? (\w+)\()"),  // functions
    };
    static const std::regex enumerator(R"((?:\{|,) *(\w+))");
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        std::smatch match;
        if (std::regex_search(text, match, include)) {
            scan(root, match[1].str(), seen, out);
            continue;
        }
        const std::string where = relative.string() + ":" + std::to_string(number);
        for (const std::regex& declaration : declarations) {
            if (std::regex_search(text, match, declaration)) {
                if (!leftAside(match[1].str()))
                    out.push_back({match[1].str(), where});
                break;
            }
        }
        if (text.starts_with("enum ")) {
            const std::string body = text.substr(text.find('{') == std::string::npos ? text.size() : text.find('{'));
            for (std::sregex_iterator it(body.begin(), body.end(), enumerator), end; it != end; ++it)
                out.push_back({(*it)[1].str(), where});
        }
    }
}

}  // namespace

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
