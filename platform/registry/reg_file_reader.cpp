// Reading .reg files. A file is parsed into a fresh hive, so a refused file leaves nothing.
#include "registry/reg_file.hpp"
#include "registry/reg_file_encoding.hpp"

#include "trace/trace_recorder.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace velorin::registry {

namespace {

constexpr std::wstring_view kHeader5 = L"Windows Registry Editor Version 5.00";
constexpr std::wstring_view kHeader4 = L"REGEDIT4";

// A problem at an offset of a logical line, placed on its physical line by the reader.
struct Problem {
    std::size_t offset;
    std::string what;
};

// One line as the parser sees it: physical lines joined where a trailing backslash continues
// them, with where each part came from.
struct LogicalLine {
    std::wstring text;
    std::vector<std::pair<std::size_t, int>> parts;  // (offset in text, physical line)

    int lineAt(std::size_t offset) const
    {
        int line = parts.front().second;
        for (const auto& [start, physical] : parts) {
            if (start <= offset)
                line = physical;
        }
        return line;
    }
};

bool isBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

int hexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

bool startsWithNoCase(std::wstring_view text, std::size_t pos, std::wstring_view prefix)
{
    if (text.size() - pos < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (foldName(text.substr(pos + i, 1)) != foldName(prefix.substr(i, 1)))
            return false;
    }
    return true;
}

std::string shown(std::wstring_view text)
{
    constexpr std::size_t kMax = 40;
    return trace::narrow(text.substr(0, kMax)) + (text.size() > kMax ? "..." : "");
}

// Whether a line goes on on the next one: it ends with a backslash outside any string.
bool continues(std::wstring_view text)
{
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (inString && text[i] == L'\\')
            ++i;
        else if (text[i] == L'"')
            inString = !inString;
    }
    return !inString && text.ends_with(L'\\');
}

std::wstring_view trimmedRight(std::wstring_view text)
{
    while (!text.empty() && (isBlank(text.back()) || text.back() == L'\r'))
        text.remove_suffix(1);
    return text;
}

std::wstring_view trimmedLeft(std::wstring_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

class Reader {
public:
    Reader(const DecodedRegFile& file, std::string fileName) : m_file(file), m_fileName(std::move(fileName)) {}

    Hive read()
    {
        const std::vector<std::wstring_view> lines = physicalLines();
        const std::wstring_view header = lines.front();
        if (header == kHeader4) {
            m_regedit4 = true;
        } else if (header != kHeader5) {
            refuse(1, header.empty() ? "the file has no header; the first line must be \"" + trace::narrow(kHeader5) +
                                           "\" or \"REGEDIT4\""
                                     : "bad header \"" + shown(header) + "\"; the first line must be \"" +
                                           trace::narrow(kHeader5) + "\" or \"REGEDIT4\"");
        }
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const std::wstring_view first = trimmedLeft(lines[i]);
            if (first.empty() || first.front() == L';')
                continue;
            LogicalLine line{std::wstring(first), {{0, static_cast<int>(i) + 1}}};
            while (first.front() != L'[' && continues(line.text) && i + 1 < lines.size()) {
                line.text.pop_back();
                ++i;
                line.parts.emplace_back(line.text.size(), static_cast<int>(i) + 1);
                line.text += trimmedLeft(lines[i]);
            }
            try {
                if (line.text.front() == L'[')
                    keyLine(line.text);
                else
                    valueLine(line.text);
            } catch (const Problem& problem) {
                refuse(line.lineAt(problem.offset), problem.what);
            }
        }
        return std::move(m_hive);
    }

private:
    std::vector<std::wstring_view> physicalLines() const
    {
        std::vector<std::wstring_view> lines;
        std::wstring_view rest = m_file.text;
        for (;;) {
            const std::size_t end = rest.find(L'\n');
            lines.push_back(trimmedRight(rest.substr(0, end)));
            if (end == std::wstring_view::npos)
                return lines;
            rest.remove_prefix(end + 1);
        }
    }

    [[noreturn]] void refuse(int line, const std::string& what) const
    {
        throw RegFileError(m_fileName + ":" + std::to_string(line) + ": " + trace::printable(what));
    }

    void keyLine(std::wstring_view text)
    {
        const std::size_t close = text.rfind(L']');
        if (close == std::wstring_view::npos)
            throw Problem{text.size(), "a key line must end with ]"};
        expectEnd(text, close + 1, "the key's ]");
        std::wstring_view inner = text.substr(1, close - 1);
        refuseNul(inner, "key");
        const bool deletion = inner.starts_with(L'-');
        if (deletion)
            inner.remove_prefix(1);
        const std::size_t slash = inner.find(L'\\');
        const std::wstring_view rootText = inner.substr(0, slash);
        const auto root = rootNamed(rootText);
        if (!root)
            throw Problem{deletion ? 2u : 1u,
                          "unknown root \"" + shown(rootText) + "\"; expected HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER"};
        const auto names = splitKeyPath(slash == std::wstring_view::npos ? L"" : inner.substr(slash + 1));
        if (!names)
            throw Problem{1, "the key \"" + shown(inner) + "\" has an empty name in its path"};
        if (names->size() > kMaxKeyDepth)
            throw Problem{1, "the key \"" + shown(inner) + "\" " + keyTooDeep(names->size())};
        const auto& top = m_hive.root(*root);
        if (!deletion) {
            m_key = createKey(top, *names).key;
            m_afterDeletion = false;
            return;
        }
        if (names->empty())
            throw Problem{1, "a root key cannot be deleted"};
        const std::vector<std::wstring> parentNames(names->begin(), names->end() - 1);
        if (const auto parent = findKey(top, parentNames))
            parent->removeChild(names->back());
        m_key = nullptr;
        m_afterDeletion = true;
    }

    // Windows takes a name up to its first NUL, so "ab\0cd" would stand for the value "ab": one
    // player would keep two values and another overwrite one.
    static void refuseNul(std::wstring_view name, const std::string& what)
    {
        if (name.find(L'\0') != std::wstring_view::npos)
            throw Problem{1, "a NUL in the " + what + " name \"" + shown(name) + "\"; Windows ends a name at its NUL"};
    }

    static std::optional<Root> rootNamed(std::wstring_view name)
    {
        const std::wstring folded = foldName(name);
        if (folded == L"HKEY_LOCAL_MACHINE" || folded == L"HKLM")
            return Root::LocalMachine;
        if (folded == L"HKEY_CURRENT_USER" || folded == L"HKCU")
            return Root::CurrentUser;
        return std::nullopt;
    }

    void valueLine(std::wstring_view text)
    {
        std::size_t pos = 0;
        std::wstring name;
        if (text.front() == L'@')
            pos = 1;
        else if (text.front() == L'"')
            name = quoted(text, pos);
        else
            throw Problem{0, "expected a key line [...] or a value line \"name\"=... or @=..., got \"" + shown(text) +
                                 "\""};
        refuseNul(name, "value");
        if (!m_key)
            throw Problem{0, m_afterDeletion ? "value after a key deletion [-...], outside any key"
                                             : "value outside any key (no [key] line before it)"};
        skipBlanks(text, pos);
        if (pos >= text.size() || text[pos] != L'=')
            throw Problem{pos, "expected = after the value name"};
        skipBlanks(text, ++pos);
        if (pos < text.size() && text[pos] == L'-') {
            expectEnd(text, pos + 1, "the value's -");
            m_key->removeValue(name);
            return;
        }
        Value value = data(text, pos, std::move(name));
        expectEnd(text, pos, "the value");
        m_key->setValue(std::move(value));
    }

    Value data(std::wstring_view text, std::size_t& pos, std::wstring name) const
    {
        if (pos < text.size() && text[pos] == L'"')
            return stringValue(std::move(name), quoted(text, pos));
        if (startsWithNoCase(text, pos, L"dword:")) {
            pos += 6;
            const std::size_t start = pos;
            DWORD number = 0;
            while (pos < text.size() && hexDigit(text[pos]) >= 0)
                number = (number << 4) | static_cast<DWORD>(hexDigit(text[pos++]));
            if (pos == start)
                throw Problem{start, "dword: needs 1 to 8 hex digits"};
            if (pos - start > 8)
                throw Problem{start, "dword:" + shown(text.substr(start, pos - start)) + " has " +
                                         std::to_string(pos - start) + " hex digits; a dword has at most 8"};
            return dwordValue(std::move(name), number);
        }
        if (startsWithNoCase(text, pos, L"hex:")) {
            pos += 4;
            return Value{std::move(name), REG_BINARY, hexBytes(text, pos)};
        }
        if (startsWithNoCase(text, pos, L"hex(")) {
            pos += 4;
            const std::size_t start = pos;
            DWORD type = 0;
            while (pos < text.size() && hexDigit(text[pos]) >= 0 && pos - start < 8)
                type = (type << 4) | static_cast<DWORD>(hexDigit(text[pos++]));
            if (pos == start || !text.substr(pos).starts_with(L"):"))
                throw Problem{start, "hex(N): needs the type as 1 to 8 hex digits, as in hex(2):"};
            pos += 2;
            const std::size_t dataStart = pos;
            std::vector<BYTE> bytes = hexBytes(text, pos);
            if (isStringType(type))
                bytes = stringBytes(bytes, type, dataStart);
            return Value{std::move(name), type, std::move(bytes)};
        }
        throw Problem{pos, "unknown value data \"" + shown(text.substr(pos)) +
                               "\"; expected \"text\", dword:, hex:, hex(N): or -"};
    }

    // String data in a file are UTF-16LE (ANSI bytes in REGEDIT4); the device keeps WCHARs.
    std::vector<BYTE> stringBytes(const std::vector<BYTE>& bytes, DWORD type, std::size_t offset) const
    {
        std::wstring text;
        if (m_regedit4) {
            for (BYTE b : bytes)
                text += static_cast<wchar_t>(b);
            return wideBytes(text);
        }
        if (bytes.size() % 2 != 0) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "hex(%x)", static_cast<unsigned>(type));
            throw Problem{offset, std::string(buf) +
                                      " string data must be whole UTF-16 characters (an even number "
                                      "of bytes), got " +
                                      std::to_string(bytes.size()) + " bytes"};
        }
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            char32_t unit = bytes[i] | (bytes[i + 1] << 8);
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
                const char32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            text += static_cast<wchar_t>(unit);
        }
        return wideBytes(text);
    }

    static std::vector<BYTE> hexBytes(std::wstring_view text, std::size_t& pos)
    {
        std::vector<BYTE> out;
        skipBlanks(text, pos);
        const auto atEnd = [&] { return pos >= text.size() || text[pos] == L';'; };
        while (!atEnd()) {
            const std::size_t start = pos;
            while (pos < text.size() && !isBlank(text[pos]) && text[pos] != L',' && text[pos] != L';')
                ++pos;
            const std::wstring_view token = text.substr(start, pos - start);
            if (token.empty())
                throw Problem{start, "empty hex byte between commas"};
            if (token.size() > 2 || hexDigit(token.front()) < 0 || hexDigit(token.back()) < 0)
                throw Problem{start,
                              "bad hex byte \"" + shown(token) + "\"; bytes are 1 or 2 hex digits separated by commas"};
            out.push_back(static_cast<BYTE>(token.size() == 1 ? hexDigit(token[0])
                                                              : hexDigit(token[0]) * 16 + hexDigit(token[1])));
            skipBlanks(text, pos);
            if (pos >= text.size() || text[pos] != L',')
                break;
            skipBlanks(text, ++pos);
        }
        return out;
    }

    // A quoted string at `pos` ("..." with \\ and \" escapes); `pos` ends after it.
    static std::wstring quoted(std::wstring_view text, std::size_t& pos)
    {
        const std::size_t start = pos++;
        std::wstring out;
        while (pos < text.size()) {
            const wchar_t c = text[pos];
            if (c == L'"') {
                ++pos;
                return out;
            }
            if (c == L'\\') {
                if (pos + 1 >= text.size())
                    break;
                const wchar_t next = text[pos + 1];
                if (next != L'\\' && next != L'"')
                    throw Problem{pos, "bad escape \"\\" + trace::narrow(std::wstring_view(&next, 1)) +
                                           "\" in a string; only \\\\ and \\\" are allowed"};
                out += next;
                pos += 2;
                continue;
            }
            out += c;
            ++pos;
        }
        throw Problem{start, "unterminated string (no closing \")"};
    }

    static void skipBlanks(std::wstring_view text, std::size_t& pos)
    {
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
    }

    static void expectEnd(std::wstring_view text, std::size_t pos, const std::string& after)
    {
        skipBlanks(text, pos);
        if (pos < text.size() && text[pos] != L';')
            throw Problem{pos, "unexpected \"" + shown(text.substr(pos)) + "\" after " + after};
    }

    const DecodedRegFile& m_file;
    std::string m_fileName;
    bool m_regedit4 = false;
    Hive m_hive;
    std::shared_ptr<Key> m_key;
    bool m_afterDeletion = false;
};

}  // namespace

RegFile parseRegFile(std::string_view bytes, const std::string& fileName)
{
    const DecodedRegFile decoded = decodeRegFile(bytes, fileName);
    return RegFile{Reader(decoded, fileName).read(), decoded.encoding};
}

RegFile readRegFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    if (in)
        bytes << in.rdbuf();
    if (!in || in.bad())
        throw RegFileError(file.string() + ": cannot read the file: " + std::strerror(errno));
    return parseRegFile(bytes.view(), file.string());
}

}  // namespace velorin::registry
