// The device's registry: the hive, the open keys of programs, the trace of what changes, and
// the file the hive persists in. Everything here runs under the kernel lock.
#pragma once

#include "kernel/kernel.hpp"
#include "registry/atomic_file.hpp"
#include "registry/hive.hpp"
#include "registry/key_handles.hpp"
#include "registry/reg_file.hpp"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velorin::registry {

class Registry {
public:
    explicit Registry(kernel::Kernel& kernel);
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    KeyHandles& handlesLocked()
    {
        m_kernel.mutex().assertHeld();
        return m_handles;
    }

    // The key an HKEY names (a root or a live handle), or null with the error to return.
    std::shared_ptr<Key> keyLocked(HKEY key, DWORD& error) const;

    // Changes, each traced: reg.create for every key made, reg.set, reg.delete.
    CreatedKey createLocked(const std::shared_ptr<Key>& from, const std::vector<std::wstring>& names);
    void setValueLocked(Key& key, Value value);
    bool deleteValueLocked(Key& key, std::wstring_view name);
    // Deletes the key `names` leads to, with everything below it.
    bool deleteKeyLocked(const std::shared_ptr<Key>& from, const std::vector<std::wstring>& names);

    // The same by path ("Drivers\BuiltIn"), for the device's other parts and for changes made
    // from outside the program. A path with an empty name throws std::invalid_argument.
    std::shared_ptr<Key> findLocked(Root root, std::wstring_view path) const;
    std::optional<Value> valueLocked(Root root, std::wstring_view path, std::wstring_view name) const;
    // Creates the key when it is missing.
    void setValueLocked(Root root, std::wstring_view path, Value value);
    bool deleteValueLocked(Root root, std::wstring_view path, std::wstring_view name);
    bool deleteKeyLocked(Root root, std::wstring_view path);

    // Replaces the whole hive, untraced; handles to the old keys are refused from then on.
    void replaceHiveLocked(Hive hive);
    // Replaces the hive with a file's (throws RegFileError, leaving the hive as it was) and
    // makes its encoding the one the hive is saved in.
    void loadLocked(std::string_view bytes, const std::string& fileName);
    std::string formatLocked(RegFileEncoding encoding) const
    {
        m_kernel.mutex().assertHeld();
        return formatRegFile(m_hive, encoding);
    }

    // The device's persistent hive: RegFlushKey and save() write it there.
    void setFileLocked(std::filesystem::path file)
    {
        m_kernel.mutex().assertHeld();
        m_file = std::move(file);
    }
    void setEncodingLocked(RegFileEncoding encoding)
    {
        m_kernel.mutex().assertHeld();
        m_encoding = encoding;
    }
    // Saves to the file, when there is one, through steps that the fault plan can fail
    // ("RegSave:create", "RegSave:write", "RegSave:flush", "RegSave:rename",
    // "RegSave:syncdir"). Throws FileSaveError.
    void saveLocked();
    void saveLocked(const std::filesystem::path& file, RegFileEncoding encoding);

private:
    std::vector<std::wstring> namesOf(std::wstring_view path) const;

    kernel::Kernel& m_kernel;
    Hive m_hive;
    KeyHandles m_handles;
    std::optional<std::filesystem::path> m_file;
    RegFileEncoding m_encoding = RegFileEncoding::Utf16Le;
};

}  // namespace velorin::registry
