// A scenario's registry words: keys, value names and typed values.
#include "sim/scenario/registry_arguments.hpp"

#include "platform/registry/registry_limits.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>

#include "sim/scenario/tokenizer.hpp"

namespace velorin::sim {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

std::optional<RegRoot> rootNamed(std::string_view name)
{
    if (equalsIgnoringCase(name, "HKLM") || equalsIgnoringCase(name, "HKEY_LOCAL_MACHINE"))
        return RegRoot::HKLM;
    if (equalsIgnoringCase(name, "HKCU") || equalsIgnoringCase(name, "HKEY_CURRENT_USER"))
        return RegRoot::HKCU;
    return std::nullopt;
}

std::uint32_t parseDword(std::string_view word, std::string_view digits)
{
    const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    if (hex)
        digits.remove_prefix(2);
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
    if (digits.empty() || end != digits.data() + digits.size())
        throw std::invalid_argument("dword must be a decimal or 0x hex number, got '" + std::string(word) + "'");
    if (ec == std::errc::result_out_of_range || value > std::numeric_limits<std::uint32_t>::max())
        throw std::invalid_argument("dword must fit in 32 bits (at most 4294967295 or "
                                    "0xffffffff), got '" +
                                    std::string(word) + "'");
    return static_cast<std::uint32_t>(value);
}

}  // namespace

RegKey parseRegKey(std::string_view word)
{
    const std::string key = wordValue(word);
    const std::size_t slash = key.find('\\');
    const auto root = rootNamed(std::string_view(key).substr(0, slash));
    if (!root)
        throw std::invalid_argument("registry key must start with HKLM\\ or HKCU\\, got '" + key + "'");
    if (slash == std::string::npos || slash + 1 == key.size())
        throw std::invalid_argument("registry key needs a path after the root, got '" + key + "'");
    std::string path = key.substr(slash + 1);
    if (path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string::npos)
        throw std::invalid_argument("registry key '" + key + "' has an empty part");
    const auto levels = static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) + 1;
    if (levels > registry::kMaxKeyDepth)
        throw std::invalid_argument("registry key '" + key + "' " + registry::keyTooDeep(levels));
    return {*root, std::move(path)};
}

std::string parseRegName(std::string_view word)
{
    return wordValue(word);
}

RegValue parseRegValue(std::string_view word, std::string_view forms)
{
    if (word.starts_with("dword:"))
        return {parseDword(word, word.substr(6))};
    if (word.starts_with("sz:")) {
        if (!word.substr(3).starts_with('"'))
            throw std::invalid_argument("sz text must be in double quotes: sz:\"<text>\", got '" + std::string(word) +
                                        "'");
        return {unquote(word.substr(3))};
    }
    throw std::invalid_argument("registry value must be " + std::string(forms) + ", got '" + std::string(word) + "'");
}

}  // namespace velorin::sim
