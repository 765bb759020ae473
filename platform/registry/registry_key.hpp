// One key of the hive: its sub-keys and values, found by name without regard to case.
#pragma once

#include "registry/registry_value.hpp"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace velorin::registry {

// The form names are compared in: upper case, for ASCII, Latin-1, Latin Extended-A, Greek and
// Cyrillic (no locale, so every host compares alike).
std::wstring foldName(std::wstring_view name);

class Key {
public:
    // Sub-keys and values by their folded names, so maps iterate in the order they are saved in.
    using Children = std::map<std::wstring, std::shared_ptr<Key>>;
    using Values = std::map<std::wstring, Value>;

    Key(Root root, std::wstring name, Key* parent) : m_root(root), m_name(std::move(name)), m_parent(parent) {}
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    Root root() const { return m_root; }
    const std::wstring& name() const { return m_name; }
    bool isRoot() const { return m_parent == nullptr && !m_deleted; }
    // Deleted keys stay alive for the handles that still name them, which are then refused.
    bool deleted() const { return m_deleted; }
    // "HKLM\Drivers\BuiltIn", as trace lines print a key.
    std::string tracePath() const;

    std::shared_ptr<Key> child(std::wstring_view name) const;
    std::shared_ptr<Key> addChild(std::wstring name);
    // Removes the sub-key with everything below it; false when there is none.
    bool removeChild(std::wstring_view name);
    const Children& children() const { return m_children; }

    const Value* value(std::wstring_view name) const;
    // An existing value keeps the case of its name.
    const Value& setValue(Value value);
    bool removeValue(std::wstring_view name);
    const Values& values() const { return m_values; }

    // Marks the key and everything below it deleted.
    void retire();

private:
    Root m_root;
    std::wstring m_name;
    Key* m_parent;  // not owned; null for a root and once deleted
    bool m_deleted = false;
    Children m_children;
    Values m_values;
};

}  // namespace velorin::registry
