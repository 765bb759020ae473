// Values made from and read as DWORDs and strings, and their data and names written for the trace.
#include "registry/registry_value.hpp"

#include "trace/trace_recorder.hpp"

#include <cstdio>
#include <cstring>

namespace velorin::registry {

std::string_view rootName(Root root)
{
    return root == Root::LocalMachine ? "HKLM" : "HKCU";
}

std::wstring_view rootFullName(Root root)
{
    return root == Root::LocalMachine ? L"HKEY_LOCAL_MACHINE" : L"HKEY_CURRENT_USER";
}

bool savableName(std::wstring_view name)
{
    return name.find_first_of(L"\r\n") == std::wstring_view::npos;
}

bool isStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::vector<BYTE> wideBytes(std::wstring_view text)
{
    std::vector<BYTE> out(text.size() * sizeof(WCHAR));
    if (!text.empty())
        std::memcpy(out.data(), text.data(), out.size());
    return out;
}

std::wstring wideText(const std::vector<BYTE>& data)
{
    std::wstring out(data.size() / sizeof(WCHAR), L'\0');
    if (!out.empty())
        std::memcpy(out.data(), data.data(), out.size() * sizeof(WCHAR));
    return out;
}

Value dwordValue(std::wstring name, DWORD value)
{
    std::vector<BYTE> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    return Value{std::move(name), REG_DWORD, std::move(data)};
}

Value stringValue(std::wstring name, std::wstring_view text, DWORD type)
{
    std::wstring withNul(text);
    withNul += L'\0';
    return Value{std::move(name), type, wideBytes(withNul)};
}

std::optional<DWORD> dwordOf(const Value& value)
{
    if (value.type != REG_DWORD || value.data.size() != sizeof(DWORD))
        return std::nullopt;
    DWORD out = 0;
    std::memcpy(&out, value.data.data(), sizeof out);
    return out;
}

std::optional<std::wstring> textOf(const Value& value)
{
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        return std::nullopt;
    std::wstring text = wideText(value.data);
    text.resize(std::wcslen(text.c_str()));
    return text;
}

namespace {

std::string hexBytes(const std::vector<BYTE>& data)
{
    std::string out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, i == 0 ? "%02x" : ",%02x", data[i]);
        out += buf;
    }
    return out;
}

}  // namespace

std::string describeData(const Value& value)
{
    const bool wholeChars = value.data.size() % sizeof(WCHAR) == 0;
    if (const auto number = dwordOf(value))
        return "dword:" + std::to_string(*number);
    if (value.type == REG_QWORD && value.data.size() == 8) {
        std::uint64_t number = 0;
        std::memcpy(&number, value.data.data(), sizeof number);
        return "qword:" + std::to_string(number);
    }
    if ((value.type == REG_SZ || value.type == REG_EXPAND_SZ) && wholeChars)
        return (value.type == REG_SZ ? "sz:" : "expand_sz:") + trace::quoted(*textOf(value));
    if (value.type == REG_MULTI_SZ && wholeChars) {
        std::string out = "multi_sz:";
        const std::wstring all = wideText(value.data);
        std::size_t at = 0;
        while (at < all.size() && all[at] != L'\0') {
            const std::size_t end = std::min(all.find(L'\0', at), all.size());
            if (at != 0)
                out += ',';
            out += trace::quoted(std::wstring_view(all).substr(at, end - at));
            at = end + 1;
        }
        return out;
    }
    if (value.type == REG_BINARY)
        return "hex:" + hexBytes(value.data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
    return prefix + hexBytes(value.data);
}

std::string describeName(std::wstring_view name)
{
    bool plain = !name.empty() && name.front() != L'#';
    for (wchar_t c : name)
        plain = plain && c > L' ' && c != L'"' && c != 0x7F;
    return plain ? trace::narrow(name) : trace::quoted(name);
}

}  // namespace velorin::registry
