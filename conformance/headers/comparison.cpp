// The comparison's body: each device line matched by key against the desktop's or the CE layer's,
// and the lists of expected differences and CE-only names read and held to their reasons.
#include "conformance/headers/comparison.hpp"

#include <set>
#include <sstream>
#include <stdexcept>

namespace velorin::conformance {

namespace {

std::vector<std::string> split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Lines that are neither blank nor comments, with their numbers.
template <class Handle> void forEachEntry(std::istream& in, Handle handle)
{
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        text = trimmed(text);
        if (!text.empty() && text[0] != '#')
            handle(text, number);
    }
}

[[noreturn]] void fail(const std::string& file, int line, const std::string& what)
{
    throw std::runtime_error(file + ":" + std::to_string(line) + ": " + what);
}

std::string reasonKind(const std::string& reason)
{
    return reason.substr(0, reason.find(':'));
}

struct Side {
    std::string label;
    std::map<std::string, const Line*> lines;
};

Side sideOf(const std::string& label, const std::vector<Line>& lines)
{
    Side side{label, {}};
    for (const Line& line : lines)
        side.lines.emplace(line.key(), &line);
    return side;
}

std::string shown(const Line& line)
{
    return line.asCompiled.empty() ? line.value()
                                   : line.value() + " (as compiled, with its 4-byte WCHAR: " + line.asCompiled + ")";
}

class Comparison {
public:
    explicit Comparison(const ComparisonInput& input) : m_input(input)
    {
        for (const ExpectedDifference& expected : input.expected)
            m_expected.emplace(std::make_pair(expected.key, expected.against), &expected);
        for (const CeOnlyListing& listing : input.ceOnly) {
            for (const std::string& name : listing.names)
                m_ceOnly.emplace(name, &listing);
        }
    }

    ComparisonReport run()
    {
        const Side desktop = sideOf("desktop", m_input.desktop);
        const Side desktop32bit = sideOf("desktop", m_input.desktop32bit);
        const Side ceLayer = sideOf("ce layer", m_input.ceLayer);
        std::set<std::string> deviceKeys;
        for (const Line& device : m_input.device) {
            if (!deviceKeys.insert(device.key()).second) {
                error(device.key() + ": in the lists twice");
                continue;
            }
            const Line* windows = find(desktop, device);
            if (!windows && device.kind == "constant")
                windows = find(desktop32bit, device);
            const bool listedCeOnly = m_ceOnly.contains(device.declarationName());
            if (windows) {
                ++m_report.comparedWithDesktop;
                m_report.agreeWithDesktop += check(device, *windows, "desktop");
                if (listedCeOnly) {
                    error(device.key() + ": listed in ce_only.txt, but desktop Windows declares it");
                    m_ceOnlyFound.insert(device.declarationName());
                }
            } else if (listedCeOnly) {
                ++m_report.ceOnly;
                m_ceOnlyFound.insert(device.declarationName());
            } else {
                error(device.key() + ": desktop Windows does not declare it; list it in ce_only.txt with its CE "
                                     "page (or the Win32 build is older than the lists: make win32)");
            }
            if (const Line* ce = find(ceLayer, device)) {
                ++m_report.comparedWithCeLayer;
                m_report.agreeWithCeLayer += check(device, *ce, "ce layer");
            }
        }
        for (const Side* side : {&desktop, &desktop32bit, &ceLayer}) {
            for (const auto& [key, line] : side->lines) {
                if (!deviceKeys.contains(key))
                    error(key + ": in the " + side->label +
                          "'s list but not the device's (the Win32 build is older than the lists: make win32)");
            }
        }
        for (const ExpectedDifference& expected : m_input.expected) {
            if (!m_expectedFound.contains(&expected))
                error("expected_differences.txt:" + std::to_string(expected.line) + ": " + expected.key +
                      " no longer differs from the " + expected.against + " as listed");
        }
        for (const CeOnlyListing& listing : m_input.ceOnly) {
            for (const std::string& name : listing.names) {
                if (!m_ceOnlyFound.contains(name))
                    error("ce_only.txt:" + std::to_string(listing.line) + ": " + name +
                          " is not among the device's CE-only declarations");
            }
        }
        return m_report;
    }

private:
    static const Line* find(const Side& side, const Line& device)
    {
        const auto found = side.lines.find(device.key());
        return found == side.lines.end() ? nullptr : found->second;
    }

    // Whether they agree; a difference must be listed with both values.
    bool check(const Line& device, const Line& windows, const std::string& against)
    {
        if (device.value() == windows.value())
            return true;
        const auto found = m_expected.find(std::make_pair(device.key(), against));
        if (found == m_expected.end()) {
            error(device.key() + ": the device has " + shown(device) + ", the " + against + " " + windows.value());
            return false;
        }
        const ExpectedDifference& expected = *found->second;
        m_expectedFound.insert(&expected);
        if (expected.device != device.value() || expected.other != windows.value()) {
            error("expected_differences.txt:" + std::to_string(expected.line) + ": " + device.key() +
                  " is listed as device " + expected.device + " | " + against + " " + expected.other +
                  ", but now the device has " + device.value() + " and the " + against + " " + windows.value());
            return false;
        }
        ++m_report.listed[reasonKind(expected.reason)];
        return false;
    }

    void error(const std::string& what) { m_report.errors.push_back(what); }

    const ComparisonInput& m_input;
    std::map<std::pair<std::string, std::string>, const ExpectedDifference*> m_expected;
    std::map<std::string, const CeOnlyListing*> m_ceOnly;
    std::set<const ExpectedDifference*> m_expectedFound;
    std::set<std::string> m_ceOnlyFound;
    ComparisonReport m_report;
};

}  // namespace

std::vector<ExpectedDifference> parseExpectedDifferences(std::istream& in, const std::string& file)
{
    std::vector<ExpectedDifference> result;
    std::set<std::pair<std::string, std::string>> seen;
    forEachEntry(in, [&](const std::string& text, int number) {
        const std::vector<std::string> parts = split(text, " | ");
        if (parts.size() != 4)
            fail(file, number, "expected <declaration> | device <value> | desktop|ce layer <value> | <reason>");
        ExpectedDifference expected;
        expected.key = trimmed(parts[0]);
        expected.line = number;
        if (!parts[1].starts_with("device "))
            fail(file, number, "the second part must start with \"device \"");
        expected.device = parts[1].substr(7);
        for (const std::string against : {"desktop", "ce layer"}) {
            if (parts[2].starts_with(against + " ")) {
                expected.against = against;
                expected.other = parts[2].substr(against.size() + 1);
            }
        }
        if (expected.against.empty())
            fail(file, number, "the third part must start with \"desktop \" or \"ce layer \"");
        expected.reason = trimmed(parts[3]);
        const bool ceDiffers =
            expected.reason.starts_with("CE differs: ") && expected.reason.find("https://") != std::string::npos;
        if (!ceDiffers && !expected.reason.starts_with("data model: "))
            fail(file, number, "the reason must be \"CE differs: <CE page> <address>\" or \"data model: <why>\"");
        if (!seen.emplace(expected.key, expected.against).second)
            fail(file, number, expected.key + " is listed twice against the " + expected.against);
        result.push_back(std::move(expected));
    });
    return result;
}

std::vector<CeOnlyListing> parseCeOnly(std::istream& in, const std::string& file)
{
    std::vector<CeOnlyListing> result;
    std::set<std::string> seen;
    forEachEntry(in, [&](const std::string& text, int number) {
        const std::vector<std::string> parts = split(text, " | ");
        if (parts.size() != 2 || parts[1].find("https://") == std::string::npos)
            fail(file, number, "expected <name> [<name>...] | <CE page> <address>");
        CeOnlyListing listing;
        std::istringstream names(parts[0]);
        for (std::string name; names >> name;) {
            if (!seen.insert(name).second)
                fail(file, number, name + " is listed twice");
            listing.names.push_back(name);
        }
        listing.page = trimmed(parts[1]);
        listing.line = number;
        result.push_back(std::move(listing));
    });
    return result;
}

ComparisonReport compare(const ComparisonInput& input)
{
    return Comparison(input).run();
}

}  // namespace velorin::conformance
