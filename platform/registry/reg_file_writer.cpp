// Writing .reg files in the form the system's editor writes, sorted so that equal hives give
// equal files.
#include "registry/reg_file.hpp"
#include "registry/reg_file_encoding.hpp"

#include <cstdio>

namespace velorin::registry {

namespace {

constexpr std::wstring_view kNewline = L"\r\n";
// The editor wraps hex data before this column, continuing with a backslash.
constexpr std::size_t kHexWrapColumn = 77;

std::wstring escaped(std::wstring_view text)
{
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"')
            out += L'\\';
        out += c;
    }
    out += L'"';
    return out;
}

bool isHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A half of a surrogate pair without its other half: UTF-8 has no form for it.
bool hasLoneSurrogate(std::wstring_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            ++i;
        else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i]))
            return true;
    }
    return false;
}

// Whether a REG_SZ can be written as "text": one terminating NUL, nothing that breaks a line,
// and nothing the file's encoding would change; otherwise its bytes go as hex, whole.
bool plainText(const Value& value, RegFileEncoding encoding)
{
    if (value.type != REG_SZ || value.data.empty() || value.data.size() % sizeof(WCHAR) != 0)
        return false;
    const std::wstring text = wideText(value.data);
    if (encoding != RegFileEncoding::Utf16Le && hasLoneSurrogate(text))
        return false;
    return text.back() == L'\0' && text.find_first_of(std::wstring_view(L"\0\r\n", 3)) == text.size() - 1;
}

// String data go to the file as UTF-16LE.
std::vector<BYTE> fileBytes(const Value& value)
{
    if (!isStringType(value.type))
        return value.data;
    std::vector<BYTE> out;
    const auto unit = [&](char32_t u) {
        out.push_back(static_cast<BYTE>(u & 0xFF));
        out.push_back(static_cast<BYTE>((u >> 8) & 0xFF));
    };
    for (wchar_t wc : wideText(value.data)) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF)
            c = 0xFFFD;
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

void writeHex(std::wstring& out, std::wstring line, const std::vector<BYTE>& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        wchar_t buf[4];
        std::swprintf(buf, 4, L"%02x", bytes[i]);
        line += buf;
        if (i + 1 < bytes.size()) {
            line += L',';
            if (line.size() >= kHexWrapColumn) {
                out += line + L"\\" + std::wstring(kNewline);
                line = L"  ";
            }
        }
    }
    out += line;
}

void writeValue(std::wstring& out, const Value& value, RegFileEncoding encoding)
{
    std::wstring line = value.name.empty() ? L"@" : escaped(value.name);
    line += L'=';
    if (const auto number = dwordOf(value)) {
        wchar_t buf[16];
        std::swprintf(buf, 16, L"dword:%08x", *number);
        out += line + buf;
    } else if (plainText(value, encoding)) {
        out += line + escaped(*textOf(value));
    } else {
        wchar_t buf[24];
        if (value.type == REG_BINARY)
            std::swprintf(buf, 24, L"hex:");
        else
            std::swprintf(buf, 24, L"hex(%x):", static_cast<unsigned>(value.type));
        writeHex(out, line + buf, fileBytes(value));
    }
    out += kNewline;
}

void writeKey(std::wstring& out, const Key& key, const std::wstring& path, RegFileEncoding encoding)
{
    if (!key.isRoot() || !key.values().empty()) {
        out += L"[" + path + L"]" + std::wstring(kNewline);
        for (const auto& [folded, value] : key.values())
            writeValue(out, value, encoding);
        out += kNewline;
    }
    for (const auto& [folded, child] : key.children())
        writeKey(out, *child, path + L"\\" + child->name(), encoding);
}

}  // namespace

std::string formatRegFile(const Hive& hive, RegFileEncoding encoding)
{
    std::wstring out = L"Windows Registry Editor Version 5.00";
    out += kNewline;
    out += kNewline;
    // In name order: HKEY_CURRENT_USER before HKEY_LOCAL_MACHINE.
    for (const Root root : {Root::CurrentUser, Root::LocalMachine})
        writeKey(out, *hive.root(root), std::wstring(rootFullName(root)), encoding);
    return encodeRegFile(out, encoding);
}

}  // namespace velorin::registry
