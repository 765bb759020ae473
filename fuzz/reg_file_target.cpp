// Fuzz target of the .reg loader: a file is refused with "file:line: what", or it loads, and
// the loaded hive then saves and loads back equal in its own encoding, and to the same file in
// the others.
#include "registry/reg_file.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using velorin::registry::Hive;
using velorin::registry::Key;
using velorin::registry::RegFileEncoding;
using velorin::registry::RegFileError;

[[noreturn]] void broken(const std::string& what)
{
    std::fprintf(stderr, "reg_file: %s\n", what.c_str());
    std::abort();
}

bool sameKey(const Key& a, const Key& b)
{
    if (a.name() != b.name() || a.values() != b.values() || a.children().size() != b.children().size())
        return false;
    for (const auto& [folded, child] : a.children()) {
        const auto other = b.children().find(folded);
        if (other == b.children().end() || !sameKey(*child, *other->second))
            return false;
    }
    return true;
}

bool sameHive(const Hive& a, const Hive& b)
{
    using velorin::registry::Root;
    return sameKey(*a.root(Root::LocalMachine), *b.root(Root::LocalMachine)) &&
           sameKey(*a.root(Root::CurrentUser), *b.root(Root::CurrentUser));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    velorin::registry::RegFile loaded;
    try {
        loaded = velorin::registry::parseRegFile(bytes, "fuzz.reg");
    } catch (const RegFileError& error) {
        // Bad input is refused with the file and the line.
        const std::string_view what = error.what();
        if (!what.starts_with("fuzz.reg:") || what.size() < 11 || what[9] < '1' || what[9] > '9')
            broken("a refusal without its file and line: " + std::string(what));
        return 0;
    }
    for (const RegFileEncoding encoding : {RegFileEncoding::Utf16Le, RegFileEncoding::Utf8, RegFileEncoding::Utf8Bom}) {
        const std::string saved = velorin::registry::formatRegFile(loaded.hive, encoding);
        velorin::registry::RegFile again;
        try {
            again = velorin::registry::parseRegFile(saved, "saved.reg");
        } catch (const RegFileError& error) {
            broken(std::string("a saved hive does not load: ") + error.what());
        }
        // The device saves a hive in the encoding its file had: there it comes back equal. In
        // UTF-8 a lone surrogate of a UTF-16 file becomes U+FFFD, so another encoding need only
        // come back to the same file.
        if (encoding == loaded.encoding && !sameHive(loaded.hive, again.hive))
            broken("a saved hive loads back different");
        if (velorin::registry::formatRegFile(again.hive, encoding) != saved)
            broken("a saved hive saves again differently");
    }
    return 0;
}
