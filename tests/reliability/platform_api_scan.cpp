// The scan of the utility's sources for the platform functions they call.
#include "tests/reliability/platform_api_scan.hpp"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>

namespace velorin::reliability {

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::vector<fs::path> filesUnder(const fs::path& folder, std::initializer_list<std::string_view> extensions)
{
    std::vector<fs::path> files;
    if (!fs::exists(folder))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && std::find(extensions.begin(), extensions.end(), ext) != extensions.end())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The text with comments blanked out (line breaks kept), and, separately, the string literals
// with the line each starts on.
struct Stripped {
    std::string code;
    std::vector<std::pair<int, std::string>> literals;
};

Stripped strip(const std::string& text)
{
    Stripped out;
    out.code.reserve(text.size());
    int line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n')
            ++line;
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n')
                ++i;
            if (i < text.size()) {
                out.code += '\n';
                ++line;
            }
            continue;
        }
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            i += 2;
            while (i + 1 < text.size() && !(text[i] == '*' && text[i + 1] == '/')) {
                if (text[i] == '\n') {
                    out.code += '\n';
                    ++line;
                }
                ++i;
            }
            ++i;
            continue;
        }
        if (c == '"' || c == '\'') {
            std::string literal;
            const int startLine = line;
            out.code += c;
            for (++i; i < text.size() && text[i] != c; ++i) {
                if (text[i] == '\\' && i + 1 < text.size())
                    literal += text[i++];
                literal += text[i];
            }
            out.code += c;
            if (c == '"')
                out.literals.emplace_back(startLine, literal);
            continue;
        }
        out.code += c;
    }
    return out;
}

}  // namespace

std::set<std::string> platformApiNames(const fs::path& sourceRoot)
{
    // A declaration at the start of a line: a return type, then the name and its parameters.
    static const std::regex declaration(R"(^[A-Za-z_][A-Za-z0-9_ *]*[ *]([A-Z][A-Za-z0-9_]*)\s*\()");
    static const std::regex skipped(R"(^(inline|constexpr|using|typedef|struct|enum|template|static|return)\b)");
    std::set<std::string> names;
    for (const fs::path& header : filesUnder(sourceRoot / "platform", {".h"})) {
        // The interlocked calls and critical sections are the processor's work on the program's
        // memory, not system calls: they cannot fail, so no plan fails them.
        if (header.filename() == "winbase_sync.h")
            continue;
        std::istringstream lines(strip(readText(header)).code);
        std::string text;
        while (std::getline(lines, text)) {
            std::smatch match;
            if (!std::regex_search(text, skipped) && std::regex_search(text, match, declaration))
                names.insert(match[1]);
        }
    }
    return names;
}

namespace {

// The call sites in `files` of a function in `names`.
std::vector<CallSite> sitesIn(const fs::path& sourceRoot, const std::vector<fs::path>& files,
                              const std::set<std::string>& names)
{
    static const std::regex call(R"(([A-Za-z_][A-Za-z0-9_]*)\s*\()");
    std::vector<CallSite> sites;
    for (const fs::path& file : files) {
        const std::string relative = fs::relative(file, sourceRoot).generic_string();
        const Stripped text = strip(readText(file));
        std::istringstream lines(text.code);
        std::string code;
        for (int number = 1; std::getline(lines, code); ++number) {
            for (auto it = std::sregex_iterator(code.begin(), code.end(), call); it != std::sregex_iterator(); ++it) {
                const std::string name = (*it)[1];
                if (!names.contains(name))
                    continue;
                const std::string before = code.substr(0, static_cast<std::size_t>(it->position(1)));
                std::string trimmed = before;
                while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.back())))
                    trimmed.pop_back();
                CallSite site{relative, number, name, CallSite::Kind::Direct};
                if (trimmed.ends_with(".") || trimmed.ends_with("->")) {
                    site.kind = CallSite::Kind::Wrapper;
                } else if (trimmed.ends_with("::")) {
                    // `::Name(` is the global function; `Class::Name(` a member of ours.
                    const std::string qualifier = trimmed.substr(0, trimmed.size() - 2);
                    if (!qualifier.empty() && isWordChar(qualifier.back()))
                        continue;
                } else if (!trimmed.empty() && !trimmed.ends_with("&&") &&
                           (isWordChar(trimmed.back()) || trimmed.back() == '*' || trimmed.back() == '&')) {
                    // After a type it declares a function of that name; after a keyword it calls.
                    std::size_t start = trimmed.size();
                    while (start > 0 && isWordChar(trimmed[start - 1]))
                        --start;
                    const std::string word = trimmed.substr(start);
                    if (word != "return" && word != "else" && word != "do")
                        continue;
                }
                sites.push_back(site);
            }
        }
        // Functions the utility looks up by name and then calls through a pointer.
        for (const auto& [number, literal] : text.literals) {
            if (names.contains(literal))
                sites.push_back({relative, number, literal, CallSite::Kind::ByName});
        }
    }
    return sites;
}

}  // namespace

std::vector<CallSite> utilityCallSites(const fs::path& sourceRoot, const std::set<std::string>& names)
{
    std::vector<fs::path> files;
    for (const char* folder : {"utility/app", "utility/screen", "utility/services"}) {
        const auto found = filesUnder(sourceRoot / folder, {".cpp", ".h"});
        files.insert(files.end(), found.begin(), found.end());
    }
    return sitesIn(sourceRoot, files, names);
}

std::map<std::string, std::vector<CallSite>> sitesByFunction(const std::vector<CallSite>& sites)
{
    std::map<std::string, std::vector<CallSite>> byFunction;
    for (const CallSite& site : sites)
        byFunction[site.function].push_back(site);
    return byFunction;
}

const std::vector<std::string>& faultFunctions()
{
    static const std::vector<std::string> functions = [] {
        const fs::path root = VELORIN_SOURCE_DIR;
        const std::set<std::string> names = platformApiNames(root);
        std::vector<CallSite> sites = utilityCallSites(root, names);
        const auto wrappers = sitesIn(
            root, {root / "utility/framework/gdi_objects.h", root / "utility/framework/gdi_objects.cpp"}, names);
        sites.insert(sites.end(), wrappers.begin(), wrappers.end());
        std::vector<std::string> out;
        for (const auto& [function, where] : sitesByFunction(sites))
            out.push_back(function);
        return out;
    }();
    return functions;
}

}  // namespace velorin::reliability
