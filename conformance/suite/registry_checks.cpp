// The registry: create dispositions, types and sizes, ERROR_MORE_DATA, missing keys and values,
// deleting, and what the device enforces and what it does not.
#include "report.hpp"

#include <cstring>
#include <cwchar>

namespace conformance {

namespace {

constexpr char kGroup[] = "registry";
constexpr wchar_t kKey[] = L"Software\\VelorinConformance";

std::string Code(LONG result)
{
    return Number(result);
}

// ASCII text of a wide string, as the checks write it.
std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (; *text; ++text)
        out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

// Handles and key paths out of the ordinary: null and closed handles, back-slashes at either end,
// a key deleted while it is open, and deleting the key a handle names.
void RunRegistryEdgeChecks()
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);

    HKEY kept = reinterpret_cast<HKEY>(1);
    std::string handles = Code(RegOpenKeyExW(nullptr, L"", 0, KEY_READ, &kept));
    handles += std::string(kept == reinterpret_cast<HKEY>(1) ? " kept" : kept ? " other" : " null");
    handles += " " + Code(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, nullptr));
    handles += " " + Code(RegCloseKey(nullptr));
    HKEY closed = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &closed);
    handles += " " + Code(RegCloseKey(closed));
    handles += " " + Code(RegCloseKey(closed));
    DWORD size = 0;
    handles += " " + Code(RegQueryValueExW(closed, L"Number", nullptr, nullptr, nullptr, &size));
    Report(kGroup, "bad_handles", handles);

    HKEY opened = nullptr;
    std::string paths = Code(RegCreateKeyExW(key, L"Trailing\\\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                                             nullptr));
    RegCloseKey(opened);
    paths += " " + Code(RegOpenKeyExW(key, L"Trailing\\\\", 0, KEY_READ, &opened));
    RegCloseKey(opened);
    paths += " " + Code(RegOpenKeyExW(key, L"\\Trailing", 0, KEY_READ, &opened));
    paths += " " + Code(RegOpenKeyExW(key, L"\\", 0, KEY_READ, &opened));
    RegCloseKey(opened);
    RegDeleteKeyW(key, L"Trailing");
    Report(kGroup, "back_slashes", paths);

    const DWORD number = 3;
    const wchar_t value[] = L"v";
    std::string nulls = Code(RegSetValueExW(key, L"Null", 0, REG_SZ, nullptr, 4));
    nulls += " " + Code(RegSetValueExW(key, L"Null", 0, REG_DWORD, nullptr, 4));
    nulls += " " + Code(RegSetValueExW(key, L"Null", 0, REG_SZ, nullptr, 0));
    DWORD type = 0;
    size = 99;
    const LONG emptyQuery = RegQueryValueExW(key, L"Null", nullptr, &type, nullptr, &size);
    nulls += " " + Code(emptyQuery) + " " + Number(type) + "/" + Number(size);
    BYTE data[8] = {};
    nulls += " " + Code(RegQueryValueExW(key, L"Null", nullptr, &type, data, nullptr));
    nulls += " " + Code(RegQueryValueExW(key, L"Nothing", nullptr, &type, data, nullptr));
    RegDeleteValueW(key, L"Null");
    Report(kGroup, "null_data", nulls);

    // The type and the size in one variable: the size is read before the type is written.
    const BYTE four[4] = {1, 2, 3, 4};
    RegSetValueExW(key, L"Four", 0, REG_BINARY, four, sizeof four);
    DWORD both = 4;
    const LONG shared = RegQueryValueExW(key, L"Four", nullptr, &both, data, &both);
    size = 99;
    const LONG missing = RegQueryValueExW(key, L"Nothing", nullptr, &type, nullptr, &size);
    DWORD room = sizeof data;
    const LONG missingWithRoom = RegQueryValueExW(key, L"Nothing", nullptr, &type, data, &room);
    Report(kGroup, "query_sizes", Code(shared) + " " + Number(both) + ", missing " + Code(missing) + "/" +
                                      Number(size) + " " + Code(missingWithRoom) + "/" + Number(room));
    RegDeleteValueW(key, L"Four");

    std::string defaults = Code(RegSetValueExW(key, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value));
    size = 0;
    const LONG unnamed = RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size);
    defaults += " " + Code(unnamed) + "/" + Number(size / sizeof(wchar_t)) + " chars";
    defaults += " " + Code(RegDeleteValueW(key, nullptr));
    defaults += " " + Code(RegDeleteValueW(key, L""));
    std::wstring longName(400, L'a');
    defaults += " " + Code(RegDeleteValueW(key, longName.c_str()));
    Report(kGroup, "default_value", defaults);

    HKEY sub = nullptr;
    RegCreateKeyExW(key, L"Enumerated", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
    RegCloseKey(sub);
    wchar_t name[16] = L"xxxxxxxxxxxxxxx";
    DWORD count = 3;
    std::string enumKey = Code(RegEnumKeyExW(key, 0, name, &count, nullptr, nullptr, nullptr, nullptr));
    enumKey += " " + Narrow(name) + "/" + Number(count);
    count = 16;
    enumKey += " " + Code(RegEnumKeyExW(key, 0, name, &count, nullptr, nullptr, nullptr, nullptr));
    enumKey += " " + Narrow(name) + "/" + Number(count);
    enumKey += " " + Code(RegEnumKeyExW(key, 1, name, &count, nullptr, nullptr, nullptr, nullptr));
    Report(kGroup, "enum_key", enumKey);

    // Names of 255 and 256 characters.
    const std::wstring longest(255, L'k');
    const std::wstring tooLong(256, L'k');
    std::string lengths = Code(RegCreateKeyExW(key, longest.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub,
                                               nullptr));
    RegCloseKey(sub);
    lengths += " " + Code(RegCreateKeyExW(key, tooLong.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    RegCloseKey(sub);
    RegDeleteKeyW(key, longest.c_str());
    RegDeleteKeyW(key, tooLong.c_str());
    Report(kGroup, "key_name_lengths", lengths);

    // Value names of 255, 256 and 16384 characters.
    const std::wstring valueNames[] = {std::wstring(255, L'v'), std::wstring(256, L'v'), std::wstring(16384, L'v')};
    std::string valueLengths;
    for (const std::wstring& valueName : valueNames) {
        valueLengths += valueLengths.empty() ? "" : " ";
        valueLengths += Code(RegSetValueExW(key, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                            sizeof number));
        size = sizeof data;
        valueLengths += "/" + Code(RegQueryValueExW(key, valueName.c_str(), nullptr, &type, data, &size));
        RegDeleteValueW(key, valueName.c_str());
    }
    Report(kGroup, "value_name_lengths", valueLengths);

    HKEY doomed = nullptr;
    RegOpenKeyExW(key, L"Enumerated", 0, KEY_ALL_ACCESS, &doomed);
    RegDeleteKeyW(key, L"Enumerated");
    std::string deleted = Code(RegSetValueExW(doomed, L"N", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                              sizeof number));
    size = sizeof data;
    deleted += " " + Code(RegQueryValueExW(doomed, L"N", nullptr, &type, data, &size));
    count = 16;
    deleted += " " + Code(RegEnumValueW(doomed, 0, name, &count, nullptr, nullptr, nullptr, nullptr));
    count = 16;
    deleted += " " + Code(RegEnumKeyExW(doomed, 0, name, &count, nullptr, nullptr, nullptr, nullptr));
    deleted += " " + Code(RegOpenKeyExW(doomed, L"", 0, KEY_READ, &sub));
    deleted += " " + Code(RegCreateKeyExW(doomed, L"C", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    deleted += " " + Code(RegFlushKey(doomed));
    deleted += " " + Code(RegDeleteValueW(doomed, L"N"));
    deleted += " " + Code(RegCloseKey(doomed));
    Report(kGroup, "key_deleted_while_open", deleted);

    // Roots, null results and reserved arguments.
    std::string roots = Code(RegCreateKeyExW(key, L"", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    RegCloseKey(sub);
    roots += " " + Code(RegCreateKeyExW(nullptr, L"Orphan", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    roots += " " + Code(RegFlushKey(nullptr));
    roots += " " + Code(RegFlushKey(HKEY_CURRENT_USER));
    roots += " " + Code(RegCloseKey(HKEY_CURRENT_USER));
    DWORD reserved = 0;
    size = sizeof data;
    roots += " " + Code(RegQueryValueExW(key, nullptr, &reserved, &type, data, &size));
    roots += " " + Code(RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VelorinConformance\\None\\Deeper"));
    Report(kGroup, "roots_and_null_arguments", roots);

    RegCreateKeyExW(key, L"Itself", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
    std::string itself = Code(RegDeleteKeyW(sub, nullptr));
    itself += " " + Code(RegDeleteKeyW(sub, L""));
    RegCloseKey(sub);
    itself += " " + Code(RegOpenKeyExW(key, L"Itself", 0, KEY_READ, &sub));
    Report(kGroup, "delete_key_itself", itself);

    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
}

}  // namespace

void RunRegistryChecks()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VelorinConformance\\Child");
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition);
    Report(kGroup, "create_new", Code(result) + " " + Number(disposition));
    HKEY same = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &same, &disposition);
    Report(kGroup, "create_existing", Number(disposition));
    RegCloseKey(same);

    const DWORD number = 0x12345678;
    RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    result = RegQueryValueExW(key, L"Number", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    Report(kGroup, "dword", Code(result) + " " + Number(type) + " " + Number(size) + " " + YesNo(value == number));
    size = 0;
    result = RegQueryValueExW(key, L"number", nullptr, &type, nullptr, &size);
    Report(kGroup, "size_only_and_any_case", Code(result) + " " + Number(size));

    const wchar_t text[] = L"abc";
    RegSetValueExW(key, L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    BYTE small[2] = {0xEE, 0xEE};
    size = sizeof small;
    result = RegQueryValueExW(key, L"Text", nullptr, &type, small, &size);
    Report(kGroup, "more_data",
           Code(result) + " " + Number(size / sizeof(wchar_t)) + " chars " +
               YesNo(small[0] == 0xEE && small[1] == 0xEE));
    wchar_t back[8] = L"";
    size = sizeof back;
    result = RegQueryValueExW(key, L"Text", nullptr, &type, reinterpret_cast<BYTE*>(back), &size);
    Report(kGroup, "string",
           Code(result) + " " + Number(type) + " " + Number(size / sizeof(wchar_t)) + " chars " +
               YesNo(std::wcscmp(back, L"abc") == 0));

    // Text whose size leaves out its NUL, as a caller who counted only the characters gives it.
    RegSetValueExW(key, L"Counted", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 3 * sizeof(wchar_t));
    size = 0;
    result = RegQueryValueExW(key, L"Counted", nullptr, &type, nullptr, &size);
    Report(kGroup, "string_without_its_nul", Code(result) + " " + Number(size / sizeof(wchar_t)) + " chars");
    RegDeleteValueW(key, L"Counted");

    const BYTE bytes[3] = {1, 2, 3};
    RegSetValueExW(key, L"Bytes", 0, REG_BINARY, bytes, sizeof bytes);
    BYTE readBytes[8] = {};
    size = sizeof readBytes;
    result = RegQueryValueExW(key, L"Bytes", nullptr, &type, readBytes, &size);
    Report(kGroup, "binary",
           Code(result) + " " + Number(type) + " " + Number(size) + " " + YesNo(std::memcmp(readBytes, bytes, 3) == 0));

    // Enumerating with a buffer too small for the name, or for the data only: what is written.
    HKEY one = nullptr;
    RegCreateKeyExW(key, L"One", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &one, &disposition);
    RegSetValueExW(one, L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    const auto enumerate = [&](DWORD nameRoom, DWORD dataRoom) {
        wchar_t name[8] = L"xxxxxxx";
        wchar_t data[8] = L"xxxxxxx";
        DWORD nameCount = nameRoom;
        DWORD dataSize = dataRoom;
        DWORD enumType = 1234;
        const LONG code = RegEnumValueW(one, 0, name, &nameCount, nullptr, &enumType, reinterpret_cast<BYTE*>(data),
                                        &dataSize);
        return Code(code) + " name " + Narrow(name) + "/" + Number(nameCount) + " data " + Narrow(data) + "/" +
               Number(dataSize / sizeof(wchar_t)) + " chars type " + Number(enumType);
    };
    Report(kGroup, "enum_value_name_too_small", enumerate(3, sizeof(wchar_t) * 8));
    Report(kGroup, "enum_value_data_too_small", enumerate(8, 2));
    Report(kGroup, "enum_value_both_too_small", enumerate(2, 2));
    RegCloseKey(one);
    RegDeleteKeyW(key, L"One");

    size = sizeof value;
    Report(kGroup, "missing_value",
           Code(RegQueryValueExW(key, L"Nothing", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size)));
    HKEY missing = reinterpret_cast<HKEY>(1);
    result = RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VelorinConformance\\Nowhere", 0, KEY_READ, &missing);
    Report(kGroup, "missing_key", Code(result) + " " + YesNo(missing == nullptr));

    const LONG deleted = RegDeleteValueW(key, L"Bytes");
    const LONG deletedAgain = RegDeleteValueW(key, L"Bytes");
    Report(kGroup, "delete_value", Code(deleted) + " " + Code(deletedAgain));

    // Through a key opened for reading: whether the write is refused.
    HKEY readOnly = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &readOnly);
    const DWORD other = 5;
    result = RegSetValueExW(readOnly, L"Written", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&other), sizeof other);
    Report(kGroup, "write_through_a_read_key", Code(result));
    RegCloseKey(readOnly);

    HKEY child = nullptr;
    RegCreateKeyExW(key, L"Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, &disposition);
    RegCloseKey(child);
    RegCloseKey(key);
    // A key with a sub-key: deleted whole, or refused.
    result = RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    Report(kGroup, "delete_key_with_sub_key", Code(result));
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VelorinConformance\\Child");
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    Report(kGroup, "delete_missing_key", Code(RegDeleteKeyW(HKEY_CURRENT_USER, kKey)));
    RunRegistryEdgeChecks();
}

}  // namespace conformance
