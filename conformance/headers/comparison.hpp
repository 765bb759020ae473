// The device's declarations against Windows': the desktop's headers where CE and the desktop
// share a declaration, the CE layer's where the Win32 build declares CE's own. Every difference
// must be listed with its reason, and every listing must still hold.
#pragma once

#include "conformance/headers/listing.hpp"

#include <istream>
#include <map>
#include <string>
#include <vector>

namespace velorin::conformance {

// One line of expected_differences.txt:
//   <kind> <name> | device <value> | desktop|ce layer <value> | CE differs: <page> | data model: <why>
struct ExpectedDifference {
    std::string key;
    std::string device;
    std::string against;  // "desktop" or "ce layer"
    std::string other;
    std::string reason;
    int line = 0;
};

// One line of ce_only.txt: the names of declarations that desktop Windows does not have, and the
// CE page that declares them.
//   <name> [<name>...] | <page>
struct CeOnlyListing {
    std::vector<std::string> names;
    std::string page;
    int line = 0;
};

// Both throw std::runtime_error with "<file>:<line>: what is wrong".
std::vector<ExpectedDifference> parseExpectedDifferences(std::istream& in, const std::string& file);
std::vector<CeOnlyListing> parseCeOnly(std::istream& in, const std::string& file);

struct ComparisonInput {
    std::vector<Line> device;
    std::vector<Line> desktop;       // 64-bit Windows: the device's data model
    std::vector<Line> desktop32bit;  // 32-bit Windows: constants that only it declares
    std::vector<Line> ceLayer;
    std::vector<ExpectedDifference> expected;
    std::vector<CeOnlyListing> ceOnly;
};

struct ComparisonReport {
    int comparedWithDesktop = 0;
    int agreeWithDesktop = 0;
    int comparedWithCeLayer = 0;
    int agreeWithCeLayer = 0;
    int ceOnly = 0;
    // Listed differences found, by the reason's kind ("CE differs", "data model").
    std::map<std::string, int> listed;
    std::vector<std::string> errors;
};

ComparisonReport compare(const ComparisonInput& input);

}  // namespace velorin::conformance
