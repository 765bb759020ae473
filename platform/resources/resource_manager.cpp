// Resources looked up for the calling process: modules parsed once, strings kept once read, the
// HRSRC and HICON values handed out, and bad bytes failed as ERROR_INVALID_DATA.
#include "resources/resource_manager.hpp"

#include "kernel/kernel.hpp"
#include "kernel/winerror.h"
#include "resources/byte_reader.hpp"
#include "resources/dialog_template_parser.hpp"
#include "resources/string_table.hpp"
#include "trace/trace_recorder.hpp"

#include <cstdio>
#include <mutex>

namespace velorin::resources {

namespace {
constexpr std::uintptr_t kIconHandleBase = 0x00C10000;
// HRSRC values: the module's handle plus the entry's place, in steps that stay inside the
// module's handle stride.
constexpr std::uintptr_t kResourceStep = 0x10;

std::string sourceName(HMODULE module)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "resource module 0x%llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(module)));
    return buf;
}
}  // namespace

ResourceManager::ResourceManager(kernel::Kernel& kernel) : m_kernel(kernel) {}

HMODULE ResourceManager::instanceLocked() const
{
    m_kernel.mutex().assertHeld();
    return m_kernel.instanceLocked(m_kernel.scheduler().currentProcess());
}

const ResourceModule* ResourceManager::moduleLocked(HMODULE module)
{
    m_kernel.mutex().assertHeld();
    if (!module)
        module = instanceLocked();
    const std::vector<std::uint8_t>* bytes =
        module ? m_kernel.modulesLocked().resourcesOf(module, m_kernel.scheduler().currentProcess()) : nullptr;
    if (!bytes) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (bytes->empty()) {
        kernel::setLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    auto it = m_modules.find(module);
    if (it == m_modules.end()) {
        try {
            auto parsed = std::make_unique<ResourceModule>(ResourceModule::parse(*bytes, sourceName(module)));
            it = m_modules.emplace(module, std::move(parsed)).first;
        } catch (const ResourceFormatError&) {
            kernel::setLastError(ERROR_BAD_EXE_FORMAT);
            return nullptr;
        }
    }
    return it->second.get();
}

std::optional<FoundResource> ResourceManager::findLocked(HMODULE module, const ResourceKey& type,
                                                         const ResourceKey& name)
{
    m_kernel.mutex().assertHeld();
    if (!module)
        module = instanceLocked();
    const ResourceModule* resources = moduleLocked(module);
    if (!resources)
        return std::nullopt;
    const ResourceEntry* entry = resources->find(type, name);
    if (!entry) {
        kernel::setLastError(resources->hasType(type) ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(entry - resources->entries().data());
    return FoundResource{module, index, resources->data(*entry)};
}

const std::wstring* ResourceManager::stringLocked(HINSTANCE instance, UINT id)
{
    m_kernel.mutex().assertHeld();
    const auto found = findLocked(instance, ResourceKey::of(kRtString), ResourceKey::of(stringBlockOf(id)));
    if (!found)
        return nullptr;
    const auto key = std::make_pair(found->module, id);
    if (const auto kept = m_strings.find(key); kept != m_strings.end())
        return &kept->second;
    try {
        return &m_strings.emplace(key, stringOfBlock(found->data, id, "string " + std::to_string(id))).first->second;
    } catch (const ResourceFormatError&) {
        kernel::setLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
}

std::optional<DialogTemplate> ResourceManager::dialogTemplateLocked(HINSTANCE instance, LPCWSTR name)
{
    m_kernel.mutex().assertHeld();
    const ResourceKey key = ResourceKey::of(name);
    const auto found = findLocked(instance, ResourceKey::of(kRtDialog), key);
    if (!found)
        return std::nullopt;
    try {
        return parseDialogTemplate(found->data, "dialog template " + key.describe());
    } catch (const ResourceFormatError&) {
        kernel::setLastError(ERROR_INVALID_DATA);
        return std::nullopt;
    }
}

HICON ResourceManager::loadIconLocked(HINSTANCE instance, LPCWSTR name)
{
    m_kernel.mutex().assertHeld();
    if (!instance) {
        // The system's predefined icons (IDI_APPLICATION, ...): the device has none.
        kernel::setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const ResourceKey key = ResourceKey::of(name);
    const auto group = findLocked(instance, ResourceKey::of(kRtGroupIcon), key);
    if (!group)
        return nullptr;
    for (std::size_t i = 0; i < m_icons.size(); ++i)
        if (m_icons[i].module == group->module && m_icons[i].group == key)
            return reinterpret_cast<HICON>(kIconHandleBase + 4 * i);

    IconDirEntry chosen;
    try {
        const std::vector<IconDirEntry> images = parseIconGroup(group->data, "icon group " + key.describe());
        chosen = chooseIconImage(images, kIconSize, kDisplayBits);
    } catch (const ResourceFormatError&) {
        kernel::setLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    if (!findLocked(group->module, ResourceKey::of(kRtIcon), ResourceKey::of(chosen.id)))
        return nullptr;
    m_icons.push_back(Icon{group->module, key, chosen});
    return reinterpret_cast<HICON>(kIconHandleBase + 4 * (m_icons.size() - 1));
}

const Icon* ResourceManager::iconLocked(HICON icon) const
{
    m_kernel.mutex().assertHeld();
    const auto value = reinterpret_cast<std::uintptr_t>(icon);
    if (value < kIconHandleBase || (value - kIconHandleBase) % 4 != 0)
        return nullptr;
    const std::size_t index = (value - kIconHandleBase) / 4;
    return index < m_icons.size() ? &m_icons[index] : nullptr;
}

std::uintptr_t ResourceManager::resourceHandle(HMODULE module, std::size_t index)
{
    return reinterpret_cast<std::uintptr_t>(module) + kResourceStep * (index + 1);
}

std::optional<FoundResource> ResourceManager::fromResourceHandleLocked(std::uintptr_t handle)
{
    m_kernel.mutex().assertHeld();
    for (const auto& [module, resources] : m_modules) {
        const auto base = reinterpret_cast<std::uintptr_t>(module);
        if (handle <= base || (handle - base) % kResourceStep != 0)
            continue;
        const std::size_t index = (handle - base) / kResourceStep - 1;
        if (index >= resources->entries().size())
            continue;
        // Only a module loaded in the calling process answers.
        if (!m_kernel.modulesLocked().resourcesOf(module, m_kernel.scheduler().currentProcess()))
            break;
        return FoundResource{module, index, resources->data(resources->entries()[index])};
    }
    kernel::setLastError(ERROR_INVALID_HANDLE);
    return std::nullopt;
}

}  // namespace velorin::resources
