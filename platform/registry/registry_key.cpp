// Names folded as CE compares them, and a key's sub-keys and values kept under the folded name.
#include "registry/registry_key.hpp"

#include "trace/trace_recorder.hpp"

#include <vector>

namespace velorin::registry {

namespace {

wchar_t foldChar(wchar_t c)
{
    if (c >= L'a' && c <= L'z')
        return static_cast<wchar_t>(c - 0x20);
    if (c < 0xE0)
        return c;
    if (c <= 0xFE)
        return c == 0xF7 ? c : static_cast<wchar_t>(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs capitals with the next code, except where the pairing shifts.
        const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool lower = shifted ? (c % 2 == 0) : (c % 2 == 1);
        return lower && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F ? static_cast<wchar_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return static_cast<wchar_t>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<wchar_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<wchar_t>(c - 0x50);
    return c;
}

}  // namespace

std::wstring foldName(std::wstring_view name)
{
    std::wstring out(name);
    for (auto& c : out)
        c = foldChar(c);
    return out;
}

std::string Key::tracePath() const
{
    std::vector<const std::wstring*> names;
    for (const Key* k = this; k->m_parent; k = k->m_parent)
        names.push_back(&k->m_name);
    std::string out(rootName(m_root));
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        out += '\\';
        out += trace::narrow(**it);
    }
    return out;
}

std::shared_ptr<Key> Key::child(std::wstring_view name) const
{
    const auto it = m_children.find(foldName(name));
    return it == m_children.end() ? nullptr : it->second;
}

std::shared_ptr<Key> Key::addChild(std::wstring name)
{
    auto key = std::make_shared<Key>(m_root, name, this);
    m_children[foldName(name)] = key;
    return key;
}

bool Key::removeChild(std::wstring_view name)
{
    const auto it = m_children.find(foldName(name));
    if (it == m_children.end())
        return false;
    it->second->retire();
    m_children.erase(it);
    return true;
}

const Value* Key::value(std::wstring_view name) const
{
    const auto it = m_values.find(foldName(name));
    return it == m_values.end() ? nullptr : &it->second;
}

const Value& Key::setValue(Value value)
{
    auto [it, added] = m_values.try_emplace(foldName(value.name));
    if (!added)
        value.name = it->second.name;
    it->second = std::move(value);
    return it->second;
}

bool Key::removeValue(std::wstring_view name)
{
    return m_values.erase(foldName(name)) > 0;
}

void Key::retire()
{
    m_deleted = true;
    m_parent = nullptr;
    for (auto& [folded, child] : m_children)
        child->retire();
}

}  // namespace velorin::registry
