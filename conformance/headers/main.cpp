// velorin-header-conformance: the device's headers against Windows'.
//
//   print [FILE.decl]     the device's declarations, or those the Win32 build read out of an object
//   compare --desktop F --desktop-32bit F --ce-layer F --expected F --ce-only F
//                         0 when every difference is listed and every listing holds, 1 otherwise,
//                         77 when the Win32 build's files are missing (make win32)
//   coverage --platform DIR
//                         0 when the lists name everything the device's headers declare
#include "conformance/headers/comparison.hpp"
#include "conformance/headers/coverage.hpp"
#include "conformance/headers/device_declarations.hpp"
#include "conformance/headers/listing.hpp"

#include <exception>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace velorin::conformance;

namespace {

constexpr int kSkipped = 77;

std::vector<Line> deviceLines(std::vector<std::string>* problems = nullptr)
{
    WcharLayout layout = withTwoByteWchar(linesOf(deviceDeclarations()));
    if (problems)
        *problems = layout.problems;
    return layout.lines;
}

void print(const std::vector<Line>& lines)
{
    for (const Line& line : lines) {
        std::cout << line.key() << " " << line.value();
        if (!line.asCompiled.empty())
            std::cout << "  [as compiled: " << line.asCompiled << "]";
        std::cout << "\n";
    }
}

std::map<std::string, std::string> options(int argc, char** argv)
{
    std::map<std::string, std::string> result;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (!name.starts_with("--"))
            throw std::runtime_error("unexpected argument " + name);
        result[name.substr(2)] = argv[i + 1];
    }
    if (argc % 2 != 0)
        throw std::runtime_error(std::string("no value for ") + argv[argc - 1]);
    return result;
}

std::string required(const std::map<std::string, std::string>& options, const std::string& name)
{
    const auto found = options.find(name);
    if (found == options.end())
        throw std::runtime_error("--" + name + " is required");
    return found->second;
}

template <class Parse> auto parseFile(const std::string& file, Parse parse)
{
    std::ifstream in(file);
    if (!in)
        throw std::runtime_error(file + ": cannot be read");
    return parse(in, file);
}

int runCompare(const std::map<std::string, std::string>& options)
{
    ComparisonInput input;
    std::vector<std::string> layoutProblems;
    input.device = deviceLines(&layoutProblems);
    const std::pair<const char*, std::vector<Line>*> windowsSides[] = {
        {"desktop", &input.desktop}, {"desktop-32bit", &input.desktop32bit}, {"ce-layer", &input.ceLayer}};
    for (const auto& [option, lines] : windowsSides) {
        const std::string file = required(options, option);
        std::optional<std::vector<Line>> read = readDeclarationFile(file);
        if (!read) {
            std::cout << file << " is missing: make win32 builds it. Not compared.\n";
            return kSkipped;
        }
        *lines = std::move(*read);
    }
    input.expected = parseFile(required(options, "expected"), parseExpectedDifferences);
    input.ceOnly = parseFile(required(options, "ce-only"), parseCeOnly);

    const ComparisonReport report = compare(input);
    std::cout << "Compared with desktop Windows' headers: " << report.comparedWithDesktop << " declarations, "
              << report.agreeWithDesktop << " alike\n";
    for (const auto& [reason, count] : report.listed)
        std::cout << "Listed differences (" << reason << "): " << count << "\n";
    std::cout << "CE only, not in desktop Windows' headers: " << report.ceOnly << " declarations\n"
              << "Compared with the CE layer's headers: " << report.comparedWithCeLayer << " declarations, "
              << report.agreeWithCeLayer << " alike\n";
    for (const std::string& problem : layoutProblems)
        std::cout << "error: " << problem << "\n";
    for (const std::string& error : report.errors)
        std::cout << "error: " << error << "\n";
    return layoutProblems.empty() && report.errors.empty() ? 0 : 1;
}

int runCoverage(const std::map<std::string, std::string>& options)
{
    const std::vector<DeclaredName> names = declaredNames(required(options, "platform"));
    const std::vector<DeclaredName> missing = notListed(names, deviceLines());
    for (const DeclaredName& name : missing)
        std::cout << name.where << ": " << name.name << " is in none of conformance/headers/*.inc\n";
    std::cout << names.size() << " declarations of the device's headers, " << names.size() - missing.size()
              << " in the lists\n";
    return missing.empty() && !names.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (command == "print" && argc <= 3) {
            if (argc == 2) {
                print(deviceLines());
                return 0;
            }
            std::optional<std::vector<Line>> lines = readDeclarationFile(argv[2]);
            if (!lines)
                throw std::runtime_error(std::string(argv[2]) + ": cannot be read");
            print(*lines);
            return 0;
        }
        if (command == "compare")
            return runCompare(options(argc, argv));
        if (command == "coverage")
            return runCoverage(options(argc, argv));
        std::cerr << "usage: velorin-header-conformance print [FILE.decl] | compare --desktop F --desktop-32bit F "
                     "--ce-layer F --expected F --ce-only F | coverage --platform DIR\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "velorin-header-conformance: " << e.what() << "\n";
        return 2;
    }
}
