// A file read by the device's own parser into a hive and copied out as plain keys and values; and
// plain keys and values put in a hive and written as the device writes it.
#include "reg_file_bridge.hpp"

#include "registry/reg_file.hpp"

namespace velorin::wine {

namespace {

void collect(const registry::Key& key, bool localMachine, const std::wstring& path, RegFileContents& out)
{
    RegFileKey entry{localMachine, path, {}};
    for (const auto& [folded, value] : key.values())
        entry.values.push_back(RegFileValue{value.name, value.type, value.data});
    out.keys.push_back(std::move(entry));
    for (const auto& [folded, child] : key.children())
        collect(*child, localMachine, path.empty() ? child->name() : path + L"\\" + child->name(), out);
}

}  // namespace

RegFileContents readRegistryFile(const std::string& bytes, const std::string& fileName)
{
    registry::RegFile file;
    try {
        file = registry::parseRegFile(bytes, fileName);
    } catch (const registry::RegFileError& e) {
        throw std::runtime_error(e.what());
    }
    RegFileContents contents;
    contents.encoding = static_cast<int>(file.encoding);
    collect(*file.hive.root(registry::Root::CurrentUser), false, L"", contents);
    collect(*file.hive.root(registry::Root::LocalMachine), true, L"", contents);
    return contents;
}

std::string formatRegistryFile(const RegFileContents& contents)
{
    registry::Hive hive;
    for (const RegFileKey& entry : contents.keys) {
        const auto root = hive.root(entry.localMachine ? registry::Root::LocalMachine : registry::Root::CurrentUser);
        const auto names = registry::splitKeyPath(entry.path);
        if (!names)
            continue;
        const auto key = registry::createKey(root, *names).key;
        for (const RegFileValue& value : entry.values)
            key->setValue(registry::Value{value.name, value.type, value.data});
    }
    return registry::formatRegFile(hive, static_cast<registry::RegFileEncoding>(contents.encoding));
}

}  // namespace velorin::wine
