// The whole registry's contents: the two roots and the keys below them.
#pragma once

#include "registry/registry_key.hpp"
#include "registry/registry_limits.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace velorin::registry {

class Hive {
public:
    Hive();

    const std::shared_ptr<Key>& root(Root root) const
    {
        return root == Root::LocalMachine ? m_localMachine : m_currentUser;
    }
    // Marks every key deleted, for a hive that another one replaces while handles name its keys.
    void retire();

private:
    std::shared_ptr<Key> m_currentUser;
    std::shared_ptr<Key> m_localMachine;
};

// The names of a sub-key path "A\B\C"; "" names the key itself and one trailing backslash is
// allowed. Nothing when a name is empty ("\A", "A\\B").
std::optional<std::vector<std::wstring>> splitKeyPath(std::wstring_view path);

// The key `names` leads to from `from`, or null.
std::shared_ptr<Key> findKey(const std::shared_ptr<Key>& from, const std::vector<std::wstring>& names);

struct CreatedKey {
    std::shared_ptr<Key> key;
    bool created = false;  // the last key did not exist
};
// Opens `names` from `from`, creating what is missing; `onCreate` sees each new key.
CreatedKey createKey(const std::shared_ptr<Key>& from, const std::vector<std::wstring>& names,
                     const std::function<void(const Key&)>& onCreate = {});

}  // namespace velorin::registry
