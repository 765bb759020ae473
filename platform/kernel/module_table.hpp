// Loadable modules and their named exports. System modules are registered by the device at
// boot; every process links against them, so they stay loaded for it whatever it frees.
#pragma once

#include "kernel/scheduler.hpp"
#include "kernel/windef.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace velorin::kernel {

// Case-insensitive ordering of names, as module and export lookups on the device are.
struct NoCaseLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

class ModuleTable {
public:
    void addExport(const std::wstring& module, const std::wstring& name, FARPROC proc, bool system = true);

    HMODULE load(const std::wstring& fileName, ProcessId pid);
    // Null when the module is not loaded in the process or has no such export.
    FARPROC find(HMODULE module, const std::wstring& name, ProcessId pid, DWORD& error) const;
    bool free(HMODULE module, ProcessId pid);
    void unloadAll(ProcessId pid);

    // A program's own image, loaded in `pid` until it ends, with the bytes of its resource
    // module (a .res file; empty for none). Instances of one program share one module.
    HMODULE addImage(const std::wstring& fileName, std::span<const std::uint8_t> resources, ProcessId pid);
    // The resource bytes of a module loaded in `pid`; null when it is not loaded there.
    const std::vector<std::uint8_t>* resourcesOf(HMODULE module, ProcessId pid) const;
    // A module loaded in `pid` by file name, without loading it again; null when there is none.
    HMODULE loadedByName(const std::wstring& fileName, ProcessId pid) const;
    // The full path of a module loaded in `pid`; empty when it is not loaded there.
    std::wstring pathOf(HMODULE module, ProcessId pid) const;

private:
    struct Module {
        std::wstring name;
        bool system = true;
        std::map<std::wstring, FARPROC, NoCaseLess> exports;
        std::map<ProcessId, int> loads;
        std::vector<std::uint8_t> resources;
        std::wstring path;
    };
    Module* byHandle(HMODULE module);
    const Module* byHandle(HMODULE module) const;
    static HMODULE handleOf(std::size_t index);
    bool loadedIn(const Module& m, ProcessId pid) const;

    std::vector<Module> m_modules;
};

}  // namespace velorin::kernel
