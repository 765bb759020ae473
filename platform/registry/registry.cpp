// The registry's hive under the kernel lock: its roots, its file and the lines it traces.
#include "registry/registry.hpp"

#include "registry/atomic_file.hpp"

#include <stdexcept>
#include <string_view>

namespace velorin::registry {

namespace {
std::string valueLine(const Key& key, const std::wstring& name)
{
    return key.tracePath() + " " + describeName(name);
}

// The fault plan's name for a step of a save: a literal, as the plan wants its names.
std::string_view saveStepName(std::string_view step)
{
    static constexpr std::string_view kNames[] = {"RegSave:create", "RegSave:write", "RegSave:flush",
                                                  "RegSave:rename", "RegSave:syncdir"};
    constexpr std::size_t kPrefix = std::string_view("RegSave:").size();
    for (const std::string_view name : kNames) {
        if (name.substr(kPrefix) == step)
            return name;
    }
    return "RegSave:other";
}
}  // namespace

Registry::Registry(kernel::Kernel& kernel) : m_kernel(kernel)
{
    m_kernel.addProcessExitHook([this](kernel::ProcessId pid) { m_handles.closeOwnedBy(pid); });
}

std::shared_ptr<Key> Registry::keyLocked(HKEY key, DWORD& error) const
{
    m_kernel.mutex().assertHeld();
    std::shared_ptr<Key> found;
    if (key == HKEY_LOCAL_MACHINE)
        found = m_hive.root(Root::LocalMachine);
    else if (key == HKEY_CURRENT_USER)
        found = m_hive.root(Root::CurrentUser);
    else
        found = m_handles.find(key);
    error = !found ? ERROR_INVALID_HANDLE : found->deleted() ? ERROR_KEY_DELETED : ERROR_SUCCESS;
    return error == ERROR_SUCCESS ? found : nullptr;
}

CreatedKey Registry::createLocked(const std::shared_ptr<Key>& from, const std::vector<std::wstring>& names)
{
    m_kernel.mutex().assertHeld();
    return createKey(from, names, [this](const Key& key) { m_kernel.effectLocked("reg.create", key.tracePath()); });
}

void Registry::setValueLocked(Key& key, Value value)
{
    m_kernel.mutex().assertHeld();
    const Value& stored = key.setValue(std::move(value));
    m_kernel.effectLocked("reg.set", valueLine(key, stored.name) + " " + describeData(stored));
}

bool Registry::deleteValueLocked(Key& key, std::wstring_view name)
{
    m_kernel.mutex().assertHeld();
    const Value* value = key.value(name);
    if (!value)
        return false;
    const std::string line = valueLine(key, value->name);
    key.removeValue(name);
    m_kernel.effectLocked("reg.delete", line);
    return true;
}

bool Registry::deleteKeyLocked(const std::shared_ptr<Key>& from, const std::vector<std::wstring>& names)
{
    m_kernel.mutex().assertHeld();
    if (names.empty())
        return false;
    const auto parent = findKey(from, std::vector<std::wstring>(names.begin(), names.end() - 1));
    const auto key = parent ? parent->child(names.back()) : nullptr;
    if (!key)
        return false;
    const std::string path = key->tracePath();
    parent->removeChild(names.back());
    m_kernel.effectLocked("reg.delete", path);
    return true;
}

std::vector<std::wstring> Registry::namesOf(std::wstring_view path) const
{
    auto names = splitKeyPath(path);
    if (!names)
        throw std::invalid_argument("registry key path has an empty name");
    if (names->size() > kMaxKeyDepth)
        throw std::invalid_argument("registry key path " + keyTooDeep(names->size()));
    return std::move(*names);
}

std::shared_ptr<Key> Registry::findLocked(Root root, std::wstring_view path) const
{
    m_kernel.mutex().assertHeld();
    return findKey(m_hive.root(root), namesOf(path));
}

std::optional<Value> Registry::valueLocked(Root root, std::wstring_view path, std::wstring_view name) const
{
    m_kernel.mutex().assertHeld();
    const auto key = findLocked(root, path);
    const Value* value = key ? key->value(name) : nullptr;
    return value ? std::optional<Value>(*value) : std::nullopt;
}

void Registry::setValueLocked(Root root, std::wstring_view path, Value value)
{
    m_kernel.mutex().assertHeld();
    const CreatedKey key = createLocked(m_hive.root(root), namesOf(path));
    setValueLocked(*key.key, std::move(value));
}

bool Registry::deleteValueLocked(Root root, std::wstring_view path, std::wstring_view name)
{
    m_kernel.mutex().assertHeld();
    const auto key = findLocked(root, path);
    return key && deleteValueLocked(*key, name);
}

bool Registry::deleteKeyLocked(Root root, std::wstring_view path)
{
    m_kernel.mutex().assertHeld();
    return deleteKeyLocked(m_hive.root(root), namesOf(path));
}

void Registry::replaceHiveLocked(Hive hive)
{
    m_kernel.mutex().assertHeld();
    m_hive.retire();
    m_hive = std::move(hive);
}

void Registry::loadLocked(std::string_view bytes, const std::string& fileName)
{
    m_kernel.mutex().assertHeld();
    RegFile file = parseRegFile(bytes, fileName);
    replaceHiveLocked(std::move(file.hive));
    m_encoding = file.encoding;
}

void Registry::saveLocked()
{
    m_kernel.mutex().assertHeld();
    if (m_file)
        saveLocked(*m_file, m_encoding);
}

void Registry::saveLocked(const std::filesystem::path& file, RegFileEncoding encoding)
{
    m_kernel.mutex().assertHeld();
    replaceFileAtomically(file, formatRegFile(m_hive, encoding), [this](std::string_view step) {
        const std::string_view name = saveStepName(step);
        if (!m_kernel.faults().onCall(name).fail)
            return false;
        m_kernel.effectLocked("fault", name);
        return true;
    });
}

}  // namespace velorin::registry
