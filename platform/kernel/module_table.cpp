// Modules and their handles, each process's loads counted apart, exports looked up by name, and
// program images with their resources.
#include "kernel/module_table.hpp"

#include "kernel/winerror.h"

#include <algorithm>
#include <cwctype>
#include <utility>

namespace velorin::kernel {

namespace {
constexpr std::uintptr_t kModuleBase = 0x10000000;
constexpr std::uintptr_t kModuleStride = 0x00100000;

// "\Windows\CoreDLL.dll" and "coredll" name the same module.
std::wstring moduleKey(const std::wstring& fileName)
{
    std::wstring name = fileName.substr(fileName.find_last_of(L"\\/") + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towlower(c); });
    if (name.find(L'.') == std::wstring::npos)
        name += L".dll";
    return name;
}
}  // namespace

bool NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return std::towlower(x) < std::towlower(y); });
}

HMODULE ModuleTable::handleOf(std::size_t index)
{
    return reinterpret_cast<HMODULE>(kModuleBase + index * kModuleStride);
}

ModuleTable::Module* ModuleTable::byHandle(HMODULE module)
{
    return const_cast<Module*>(std::as_const(*this).byHandle(module));
}

const ModuleTable::Module* ModuleTable::byHandle(HMODULE module) const
{
    const auto value = reinterpret_cast<std::uintptr_t>(module);
    if (value < kModuleBase || (value - kModuleBase) % kModuleStride != 0)
        return nullptr;
    const std::size_t index = (value - kModuleBase) / kModuleStride;
    return index < m_modules.size() ? &m_modules[index] : nullptr;
}

bool ModuleTable::loadedIn(const Module& m, ProcessId pid) const
{
    const auto it = m.loads.find(pid);
    return m.system || (it != m.loads.end() && it->second > 0);
}

void ModuleTable::addExport(const std::wstring& module, const std::wstring& name, FARPROC proc, bool system)
{
    const std::wstring key = moduleKey(module);
    auto it = std::find_if(m_modules.begin(), m_modules.end(), [&](const Module& m) { return m.name == key; });
    if (it == m_modules.end()) {
        // System modules live in ROM, which CE shows as the \Windows folder.
        m_modules.push_back(Module{key, system, {}, {}, {}, L"\\Windows\\" + key});
        it = std::prev(m_modules.end());
    }
    it->exports[name] = proc;
}

HMODULE ModuleTable::load(const std::wstring& fileName, ProcessId pid)
{
    const std::wstring key = moduleKey(fileName);
    for (std::size_t i = 0; i < m_modules.size(); ++i) {
        if (m_modules[i].name == key) {
            ++m_modules[i].loads[pid];
            return handleOf(i);
        }
    }
    return nullptr;
}

FARPROC ModuleTable::find(HMODULE module, const std::wstring& name, ProcessId pid, DWORD& error) const
{
    const Module* m = byHandle(module);
    if (!m || !loadedIn(*m, pid)) {
        error = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    const auto it = m->exports.find(name);
    if (it == m->exports.end()) {
        error = ERROR_PROC_NOT_FOUND;
        return nullptr;
    }
    return it->second;
}

bool ModuleTable::free(HMODULE module, ProcessId pid)
{
    Module* m = byHandle(module);
    if (!m)
        return false;
    auto it = m->loads.find(pid);
    if (it == m->loads.end() || it->second == 0)
        return false;
    --it->second;
    return true;
}

void ModuleTable::unloadAll(ProcessId pid)
{
    for (auto& m : m_modules)
        m.loads.erase(pid);
}

HMODULE ModuleTable::addImage(const std::wstring& fileName, std::span<const std::uint8_t> resources, ProcessId pid)
{
    const std::wstring key = moduleKey(fileName);
    for (std::size_t i = 0; i < m_modules.size(); ++i) {
        Module& m = m_modules[i];
        if (m.name == key && !m.system && std::equal(m.resources.begin(), m.resources.end(), resources.begin(),
                                                     resources.end())) {
            ++m.loads[pid];
            return handleOf(i);
        }
    }
    m_modules.push_back(Module{key, false, {}, {{pid, 1}}, {resources.begin(), resources.end()}, fileName});
    return handleOf(m_modules.size() - 1);
}

const std::vector<std::uint8_t>* ModuleTable::resourcesOf(HMODULE module, ProcessId pid) const
{
    const Module* m = byHandle(module);
    return m && loadedIn(*m, pid) ? &m->resources : nullptr;
}

HMODULE ModuleTable::loadedByName(const std::wstring& fileName, ProcessId pid) const
{
    const std::wstring key = moduleKey(fileName);
    for (std::size_t i = 0; i < m_modules.size(); ++i)
        if (m_modules[i].name == key && loadedIn(m_modules[i], pid))
            return handleOf(i);
    return nullptr;
}

std::wstring ModuleTable::pathOf(HMODULE module, ProcessId pid) const
{
    const Module* m = byHandle(module);
    return m && loadedIn(*m, pid) ? m->path : std::wstring();
}

}  // namespace velorin::kernel
