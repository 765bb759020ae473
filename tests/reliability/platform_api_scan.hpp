// Where the utility's sources call the platform: the functions that the device's public headers
// declare, found in app/, screen/ and device/.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace velorin::reliability {

struct CallSite {
    std::string file;  // relative to the source tree
    int line = 0;
    std::string function;
    // How the site reaches the platform: a direct call, a member of a framework wrapper
    // (`dc.SelectObject(...)`), or a function looked up by its name (GetProcAddressW).
    enum class Kind { Direct, Wrapper, ByName } kind = Kind::Direct;
};

// The functions that the platform's public headers (platform/*/*.h) declare.
std::set<std::string> platformApiNames(const std::filesystem::path& sourceRoot);

// Every call site in utility/app/, utility/screen/ and utility/services/ of a function in `names`,
// comments left out.
std::vector<CallSite> utilityCallSites(const std::filesystem::path& sourceRoot, const std::set<std::string>& names);

// Sites by function.
std::map<std::string, std::vector<CallSite>> sitesByFunction(const std::vector<CallSite>& sites);

// The functions whose calls the simulation's random fault plans fail: those of the utility's call
// sites, and those that the framework's drawing wrappers (utility/framework/gdi_objects) call for
// it; sorted. Found once, in the source tree the tests were built from.
const std::vector<std::string>& faultFunctions();

}  // namespace velorin::reliability
