// The hive's two roots, and key paths split into names, found and created along the way.
#include "registry/hive.hpp"

namespace velorin::registry {

Hive::Hive()
    : m_currentUser(std::make_shared<Key>(Root::CurrentUser, std::wstring(rootFullName(Root::CurrentUser)), nullptr)),
      m_localMachine(std::make_shared<Key>(Root::LocalMachine, std::wstring(rootFullName(Root::LocalMachine)), nullptr))
{
}

void Hive::retire()
{
    m_currentUser->retire();
    m_localMachine->retire();
}

std::optional<std::vector<std::wstring>> splitKeyPath(std::wstring_view path)
{
    std::vector<std::wstring> names;
    if (path.ends_with(L'\\'))
        path.remove_suffix(1);
    if (path.empty())
        return names;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find(L'\\', start);
        const std::wstring_view name = path.substr(start, end == std::wstring_view::npos ? end : end - start);
        if (name.empty())
            return std::nullopt;
        names.emplace_back(name);
        if (end == std::wstring_view::npos)
            return names;
        start = end + 1;
    }
}

std::shared_ptr<Key> findKey(const std::shared_ptr<Key>& from, const std::vector<std::wstring>& names)
{
    std::shared_ptr<Key> key = from;
    for (const auto& name : names) {
        key = key->child(name);
        if (!key)
            return nullptr;
    }
    return key;
}

CreatedKey createKey(const std::shared_ptr<Key>& from, const std::vector<std::wstring>& names,
                     const std::function<void(const Key&)>& onCreate)
{
    CreatedKey out{from, false};
    for (const auto& name : names) {
        auto next = out.key->child(name);
        out.created = !next;
        if (!next) {
            next = out.key->addChild(name);
            if (onCreate)
                onCreate(*next);
        }
        out.key = std::move(next);
    }
    return out;
}

}  // namespace velorin::registry
