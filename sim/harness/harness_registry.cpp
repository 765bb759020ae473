// The registry as tests and the scenario player see it from outside the program.
#include "sim/harness/default_hive.hpp"
#include "sim/harness/harness.hpp"

#include <cstddef>
#include <cstdint>
#include <mutex>

extern const std::uint8_t velorin_default_hive[];
extern const std::size_t velorin_default_hive_size;

namespace velorin::sim {

std::string_view defaultHiveText()
{
    return {reinterpret_cast<const char*>(velorin_default_hive), velorin_default_hive_size};
}

std::optional<registry::Value> Harness::registryValue(registry::Root root, std::wstring_view path,
                                                      std::wstring_view name)
{
    std::lock_guard lock(m_device.kernel().mutex());
    return m_device.registry().valueLocked(root, path, name);
}

bool Harness::registryKeyExists(registry::Root root, std::wstring_view path)
{
    std::lock_guard lock(m_device.kernel().mutex());
    return m_device.registry().findLocked(root, path) != nullptr;
}

void Harness::setRegistryValue(registry::Root root, std::wstring_view path, registry::Value value)
{
    std::lock_guard lock(m_device.kernel().mutex());
    m_device.registry().setValueLocked(root, path, std::move(value));
}

bool Harness::deleteRegistryValue(registry::Root root, std::wstring_view path, std::wstring_view name)
{
    std::lock_guard lock(m_device.kernel().mutex());
    return m_device.registry().deleteValueLocked(root, path, name);
}

bool Harness::deleteRegistryKey(registry::Root root, std::wstring_view path)
{
    std::lock_guard lock(m_device.kernel().mutex());
    return m_device.registry().deleteKeyLocked(root, path);
}

void Harness::loadRegistry(std::string_view regFileText, const std::string& fileName)
{
    std::lock_guard lock(m_device.kernel().mutex());
    m_device.registry().loadLocked(regFileText, fileName);
}

void Harness::loadRegistryFile(const std::filesystem::path& file)
{
    registry::RegFile loaded = registry::readRegFile(file);
    std::lock_guard lock(m_device.kernel().mutex());
    m_device.registry().replaceHiveLocked(std::move(loaded.hive));
    m_device.registry().setEncodingLocked(loaded.encoding);
}

std::string Harness::registryText(registry::RegFileEncoding encoding)
{
    std::lock_guard lock(m_device.kernel().mutex());
    return m_device.registry().formatLocked(encoding);
}

void Harness::saveRegistryFile(const std::filesystem::path& file, registry::RegFileEncoding encoding)
{
    std::lock_guard lock(m_device.kernel().mutex());
    m_device.registry().saveLocked(file, encoding);
}

void Harness::useRegistryFile(const std::filesystem::path& file)
{
    std::error_code error;
    if (std::filesystem::exists(file, error))
        loadRegistryFile(file);
    std::lock_guard lock(m_device.kernel().mutex());
    m_device.registry().setFileLocked(file);
}

void Harness::saveRegistry()
{
    std::lock_guard lock(m_device.kernel().mutex());
    m_device.registry().saveLocked();
}

}  // namespace velorin::sim
