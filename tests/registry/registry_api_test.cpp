// The registry functions as a program calls them: keys, values, deletion, handles,
// enumeration, fault injection and call lines.
#include "registry_test_support.hpp"

#include "registry/registry.hpp"

namespace velorin::test {
namespace {

using RegistryKeys = DeviceTest;
using RegistryValues = DeviceTest;
using RegistryFaults = DeviceTest;

const HKEY kBogus = reinterpret_cast<HKEY>(std::uintptr_t{0x40001234});

TEST_F(RegistryKeys, CreateReportsItsDispositionAndTracesEachNewKeyOnce)
{
    runProgram(device, [] {
        DWORD disposition = 0;
        HKEY first = createKey(HKEY_CURRENT_USER, L"ControlPanel\\BackLight", &disposition);
        EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
        HKEY again = createKey(HKEY_CURRENT_USER, L"controlpanel\\BACKLIGHT\\", &disposition);
        EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
        EXPECT_NE(first, again);

        // Both handles name one key, which keeps the case it was created with.
        EXPECT_EQ(setDword(again, L"UseDim", 1), kSuccess);
        DWORD value = 0;
        EXPECT_EQ(queryDword(first, L"usedim", value), kSuccess);
        EXPECT_EQ(value, 1u);

        HKEY opened = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"CONTROLPANEL", 0, KEY_READ, &opened), kSuccess);
        HKEY self = nullptr;
        EXPECT_EQ(RegOpenKeyExW(opened, nullptr, 0, KEY_READ, &self), kSuccess);
        EXPECT_NE(self, opened);
        HKEY nested = createKey(self, L"BackLight", &disposition);
        EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
        EXPECT_EQ(queryDword(nested, L"UseDim", value), kSuccess);
        for (HKEY key : {first, again, opened, self, nested})
            EXPECT_EQ(RegCloseKey(key), kSuccess);
    });
    EXPECT_EQ(linesOf(device, "reg.create"), (std::vector<std::string>{"0 reg.create HKCU\\ControlPanel",
                                                                       "0 reg.create HKCU\\ControlPanel\\BackLight"}));
    EXPECT_EQ(linesOf(device, "reg.set"),
              (std::vector<std::string>{"0 reg.set HKCU\\ControlPanel\\BackLight UseDim dword:1"}));
}

TEST_F(RegistryKeys, OpenRefusesMissingKeysAndBadPaths)
{
    runProgram(device, [] {
        RegCloseKey(createKey(HKEY_LOCAL_MACHINE, L"Ident"));
        HKEY key = kBogus;
        EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Ident\\Missing", 0, KEY_READ, &key),
                  static_cast<LONG>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(key, nullptr);
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Ident", 0, KEY_READ, &key),
                  static_cast<LONG>(ERROR_FILE_NOT_FOUND))
            << "each root has keys of its own";
        for (LPCWSTR bad : {L"\\Ident", L"Ident\\\\X"}) {
            EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, bad, 0, KEY_READ, &key), static_cast<LONG>(ERROR_BAD_PATHNAME));
            EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, bad, 0, nullptr, 0, 0, nullptr, &key, nullptr),
                      static_cast<LONG>(ERROR_BAD_PATHNAME));
        }
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Ident\\Line\nBreak", 0, nullptr, 0, 0, nullptr, &key, nullptr),
                  static_cast<LONG>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Ident", 0, KEY_READ, nullptr),
                  static_cast<LONG>(ERROR_INVALID_PARAMETER));
    });
    EXPECT_EQ(linesOf(device, "reg.create").size(), 1u);
}

TEST_F(RegistryValues, QueryGivesTypeAndSizeAndLeavesASmallBufferAlone)
{
    runProgram(device, [] {
        HKEY key = createKey(HKEY_LOCAL_MACHINE, L"Ident");
        ASSERT_EQ(setText(key, L"PlatformID", L"533"), kSuccess);
        const DWORD textSize = 4 * sizeof(WCHAR);

        DWORD type = 0;
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueExW(key, L"platformid", nullptr, &type, nullptr, &size), kSuccess);
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(size, textSize);

        BYTE small[3 * sizeof(WCHAR)];
        std::memset(small, 0xAA, sizeof small);
        type = 0;
        size = sizeof small;
        EXPECT_EQ(RegQueryValueExW(key, L"PlatformID", nullptr, &type, small, &size),
                  static_cast<LONG>(ERROR_MORE_DATA));
        EXPECT_EQ(size, textSize);
        EXPECT_EQ(type, REG_SZ);
        EXPECT_TRUE(std::all_of(std::begin(small), std::end(small), [](BYTE b) { return b == 0xAA; }));

        EXPECT_EQ(queryText(key, L"PlatformID"), L"533");

        size = 77;
        type = 77;
        BYTE buffer[8];
        EXPECT_EQ(RegQueryValueExW(key, L"Missing", nullptr, &type, buffer, &size),
                  static_cast<LONG>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(size, 77u);
        EXPECT_EQ(type, 77u);
        EXPECT_EQ(RegQueryValueExW(key, L"PlatformID", nullptr, nullptr, buffer, nullptr),
                  static_cast<LONG>(ERROR_INVALID_PARAMETER));
        DWORD reserved = 0;
        EXPECT_EQ(RegQueryValueExW(key, L"PlatformID", &reserved, nullptr, nullptr, &size),
                  static_cast<LONG>(ERROR_INVALID_PARAMETER));

        // The default value answers to a null name and to an empty one.
        EXPECT_EQ(setDword(key, nullptr, 0xFFFFFFFF), kSuccess);
        DWORD number = 0;
        EXPECT_EQ(queryDword(key, L"", number), kSuccess);
        EXPECT_EQ(number, 0xFFFFFFFFu);
        RegCloseKey(key);
    });
}

TEST_F(RegistryValues, SetTracesEachTypeInItsFormAndKeepsTheFirstCaseOfAName)
{
    runProgram(device, [] {
        HKEY key = createKey(HKEY_LOCAL_MACHINE, L"Test");
        setDword(key, L"Level", 4294967295u);
        setDword(key, L"LEVEL", 7);
        setText(key, L"Path", L"C:\\say \"hi\"");
        setText(key, L"Expand", L"%PATH%", REG_EXPAND_SZ);
        const WCHAR multi[] = L"one\0two\0";
        RegSetValueExW(key, L"Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof multi);
        const BYTE bytes[] = {0x01, 0xAB};
        RegSetValueExW(key, L"Blob", 0, REG_BINARY, bytes, sizeof bytes);
        RegSetValueExW(key, L"Short", 0, REG_DWORD, bytes, sizeof bytes);
        const std::uint64_t big = 5000000000u;
        RegSetValueExW(key, L"Big", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&big), sizeof big);
        setDword(key, L"two words", 2);
        setDword(key, nullptr, 3);
        // String values hold whole characters, so that they can be saved as text.
        EXPECT_EQ(RegSetValueExW(key, L"Ragged", 0, REG_SZ, bytes, 2), static_cast<LONG>(ERROR_INVALID_PARAMETER));
        // A size with no data: the system fails reading them.
        EXPECT_EQ(RegSetValueExW(key, L"Null", 0, REG_BINARY, nullptr, 2), static_cast<LONG>(ERROR_NOACCESS));
        EXPECT_EQ(setDword(key, L"two\nlines", 1), static_cast<LONG>(ERROR_INVALID_PARAMETER))
            << "a .reg file cannot hold a name with a line break";
        RegCloseKey(key);
    });
    EXPECT_EQ(linesOf(device, "reg.set"), (std::vector<std::string>{
                                              "0 reg.set HKLM\\Test Level dword:4294967295",
                                              "0 reg.set HKLM\\Test Level dword:7",
                                              "0 reg.set HKLM\\Test Path sz:\"C:\\\\say \\\"hi\\\"\"",
                                              "0 reg.set HKLM\\Test Expand expand_sz:\"%PATH%\"",
                                              "0 reg.set HKLM\\Test Multi multi_sz:\"one\",\"two\"",
                                              "0 reg.set HKLM\\Test Blob hex:01,ab",
                                              "0 reg.set HKLM\\Test Short hex(4):01,ab",
                                              "0 reg.set HKLM\\Test Big qword:5000000000",
                                              "0 reg.set HKLM\\Test \"two words\" dword:2",
                                              "0 reg.set HKLM\\Test \"\" dword:3",
                                          }));
}

TEST(RegistryDelete, ValuesAndKeysGoAndHandlesToADeletedKeyAreRefused)
{
    Device device;
    runProgram(device, [] {
        HKEY top = createKey(HKEY_LOCAL_MACHINE, L"Top");
        setDword(top, L"Name", 1);
        EXPECT_EQ(RegDeleteValueW(top, L"NAME"), kSuccess);
        EXPECT_EQ(RegDeleteValueW(top, L"Name"), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
        DWORD value = 0;
        EXPECT_EQ(queryDword(top, L"Name", value), static_cast<LONG>(ERROR_FILE_NOT_FOUND));

        HKEY deep = createKey(top, L"Middle\\Deep");
        setDword(deep, L"Kept", 5);
        EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"top\\MIDDLE"), kSuccess) << "a key goes with its sub-keys";
        EXPECT_EQ(queryDword(deep, L"Kept", value), static_cast<LONG>(ERROR_KEY_DELETED));
        EXPECT_EQ(setDword(deep, L"Kept", 6), static_cast<LONG>(ERROR_KEY_DELETED));
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(deep, L"X", 0, nullptr, 0, 0, nullptr, &key, nullptr),
                  static_cast<LONG>(ERROR_KEY_DELETED));
        EXPECT_EQ(RegOpenKeyExW(top, L"Middle\\Deep", 0, 0, &key), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(RegCloseKey(deep), kSuccess);

        // A key made again under the old name is a new, empty one.
        DWORD disposition = 0;
        HKEY fresh = createKey(top, L"Middle\\Deep", &disposition);
        EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
        EXPECT_EQ(queryDword(fresh, L"Kept", value), static_cast<LONG>(ERROR_FILE_NOT_FOUND));

        EXPECT_EQ(RegDeleteKeyW(top, L"Missing"), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(RegDeleteKeyW(top, L""), static_cast<LONG>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(RegDeleteKeyW(top, nullptr), static_cast<LONG>(ERROR_INVALID_PARAMETER));
        RegCloseKey(fresh);
        RegCloseKey(top);
    });
    EXPECT_EQ(linesOf(device, "reg.delete"),
              (std::vector<std::string>{"0 reg.delete HKLM\\Top Name", "0 reg.delete HKLM\\Top\\Middle"}));
}

TEST(RegistryHandles, ClosedAndBogusKeysAreRefusedEverywhere)
{
    Device device;
    runProgram(device, [] {
        HKEY closed = createKey(HKEY_LOCAL_MACHINE, L"Key");
        ASSERT_EQ(RegCloseKey(closed), kSuccess);
        HKEY reopened = createKey(HKEY_LOCAL_MACHINE, L"Key");
        EXPECT_NE(reopened, closed) << "a closed handle must not come back to life";

        const HKEY event = reinterpret_cast<HKEY>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        for (HKEY bad : {closed, kBogus, HKEY{}, event}) {
            HKEY key = nullptr;
            DWORD size = 0;
            WCHAR name[8];
            DWORD count = 8;
            const LONG invalid = ERROR_INVALID_HANDLE;
            EXPECT_EQ(RegOpenKeyExW(bad, nullptr, 0, 0, &key), invalid);
            EXPECT_EQ(RegCreateKeyExW(bad, L"X", 0, nullptr, 0, 0, nullptr, &key, nullptr), invalid);
            EXPECT_EQ(RegQueryValueExW(bad, L"V", nullptr, nullptr, nullptr, &size), invalid);
            EXPECT_EQ(setDword(bad, L"V", 1), invalid);
            EXPECT_EQ(RegDeleteValueW(bad, L"V"), invalid);
            EXPECT_EQ(RegDeleteKeyW(bad, L"X"), invalid);
            EXPECT_EQ(RegEnumKeyExW(bad, 0, name, &count, nullptr, nullptr, nullptr, nullptr), invalid);
            EXPECT_EQ(RegEnumValueW(bad, 0, name, &count, nullptr, nullptr, nullptr, nullptr), invalid);
            EXPECT_EQ(RegFlushKey(bad), invalid);
            EXPECT_EQ(RegCloseKey(bad), invalid);
        }
        // The roots are always open; closing one changes nothing.
        EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), kSuccess);
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Key", 0, 0, &key), kSuccess);
        RegCloseKey(key);
        // `reopened` stays open when the program ends.
    });
    std::lock_guard lock(device.kernel().mutex());
    EXPECT_EQ(device.registry().handlesLocked().openCount(), 0u) << "a process end closes its keys";
}

TEST(RegistryEnum, KeysAndValuesComeInNameOrderWithoutRegardToCase)
{
    Device device;
    runProgram(device, [] {
        HKEY key = createKey(HKEY_CURRENT_USER, L"List");
        for (LPCWSTR name : {L"beta", L"Alpha", L"GAMMA"})
            RegCloseKey(createKey(key, name));
        std::vector<std::wstring> keys;
        WCHAR name[16];
        for (DWORD i = 0;; ++i) {
            DWORD count = 16;
            const LONG result = RegEnumKeyExW(key, i, name, &count, nullptr, nullptr, nullptr, nullptr);
            if (result != kSuccess) {
                EXPECT_EQ(result, static_cast<LONG>(ERROR_NO_MORE_ITEMS));
                break;
            }
            EXPECT_EQ(count, std::wcslen(name));
            keys.emplace_back(name);
        }
        EXPECT_EQ(keys, (std::vector<std::wstring>{L"Alpha", L"beta", L"GAMMA"}));
        std::wmemset(name, L'#', 16);
        DWORD count = 5;  // "Alpha" needs 6 with its NUL
        EXPECT_EQ(RegEnumKeyExW(key, 0, name, &count, nullptr, nullptr, nullptr, nullptr),
                  static_cast<LONG>(ERROR_MORE_DATA));
        EXPECT_EQ(name[0], L'#');

        setDword(key, L"b", 2);
        setDword(key, L"A", 1);
        setText(key, nullptr, L"default");
        std::vector<std::pair<std::wstring, DWORD>> values;
        for (DWORD i = 0;; ++i) {
            BYTE data[64];
            DWORD size = sizeof data;
            DWORD type = 0;
            count = 16;
            if (RegEnumValueW(key, i, name, &count, nullptr, &type, data, &size) != kSuccess)
                break;
            values.emplace_back(name, type);
        }
        EXPECT_EQ(values,
                  (std::vector<std::pair<std::wstring, DWORD>>{{L"", REG_SZ}, {L"A", REG_DWORD}, {L"b", REG_DWORD}}));
        BYTE data[4];
        DWORD size = sizeof data;
        count = 16;
        EXPECT_EQ(RegEnumValueW(key, 0, name, &count, nullptr, nullptr, data, &size),
                  static_cast<LONG>(ERROR_MORE_DATA));
        EXPECT_EQ(size, 8 * sizeof(WCHAR));
        EXPECT_EQ(RegEnumValueW(key, 3, name, &count, nullptr, nullptr, nullptr, nullptr),
                  static_cast<LONG>(ERROR_NO_MORE_ITEMS));
        RegCloseKey(key);
    });
}

// Each function, failed by the fault plan, returns its documented error and changes nothing.
TEST_F(RegistryFaults, EachFunctionFailsWithItsDocumentedResultAndDoesNothing)
{
    runProgram(device, [] {
        HKEY key = createKey(HKEY_LOCAL_MACHINE, L"Existing");
        setDword(key, L"Value", 1);
        RegCloseKey(key);
    });
    const std::vector<std::pair<std::string, DWORD>> table = {
        {"RegOpenKeyExW", ERROR_FILE_NOT_FOUND},    {"RegCreateKeyExW", ERROR_ACCESS_DENIED},
        {"RegQueryValueExW", ERROR_FILE_NOT_FOUND}, {"RegSetValueExW", ERROR_ACCESS_DENIED},
        {"RegDeleteValueW", ERROR_FILE_NOT_FOUND},  {"RegDeleteKeyW", ERROR_ACCESS_DENIED},
        {"RegEnumKeyExW", ERROR_NO_MORE_ITEMS},     {"RegEnumValueW", ERROR_NO_MORE_ITEMS},
        {"RegFlushKey", ERROR_GEN_FAILURE},         {"RegCloseKey", ERROR_INVALID_HANDLE},
    };
    // Each function is called once to set up, then once more, which fails.
    for (const auto& [function, error] : table) {
        std::lock_guard lock(device.kernel().mutex());
        device.faults().failNth(function, device.faults().callCount(function) + 2);
    }

    std::vector<std::pair<LONG, DWORD>> results;
    const auto record = [&](LONG result) { results.emplace_back(result, GetLastError()); };
    HKEY opened = kBogus;
    HKEY created = kBogus;
    runProgram(device, [&] {
        HKEY key = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Existing", 0, 0, &key);
        record(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Existing", 0, 0, &opened));
        HKEY other = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Other", 0, nullptr, 0, 0, nullptr, &other, nullptr);
        record(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"New", 0, nullptr, 0, 0, nullptr, &created, nullptr));
        DWORD value = 0;
        queryDword(key, L"Value", value);
        record(queryDword(key, L"Value", value));
        setDword(key, L"Value", 1);
        record(setDword(key, L"Value", 2));
        RegDeleteValueW(other, L"None");
        record(RegDeleteValueW(key, L"Value"));
        RegDeleteKeyW(other, L"None");
        record(RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Other"));
        WCHAR name[16];
        DWORD count = 16;
        RegEnumKeyExW(key, 0, name, &count, nullptr, nullptr, nullptr, nullptr);
        record(RegEnumKeyExW(HKEY_LOCAL_MACHINE, 0, name, &count, nullptr, nullptr, nullptr, nullptr));
        RegEnumValueW(key, 0, name, &count, nullptr, nullptr, nullptr, nullptr);
        record(RegEnumValueW(key, 0, name, &count, nullptr, nullptr, nullptr, nullptr));
        RegFlushKey(key);
        record(RegFlushKey(key));
        RegCloseKey(other);
        record(RegCloseKey(key));
        EXPECT_EQ(RegCloseKey(key), kSuccess) << "the refused close left the key open";
    });
    ASSERT_EQ(results.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(results[i].first, static_cast<LONG>(table[i].second)) << table[i].first;
        EXPECT_EQ(results[i].second, table[i].second) << table[i].first << " leaves its error as the last error";
    }
    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(created, nullptr);
    const auto value = [&](std::wstring_view path, std::wstring_view name) {
        std::lock_guard lock(device.kernel().mutex());
        return device.registry().valueLocked(registry::Root::LocalMachine, path, name);
    };
    const auto existing = value(L"Existing", L"Value");
    ASSERT_TRUE(existing);
    EXPECT_EQ(registry::dwordOf(*existing), 1u);
    {
        std::lock_guard lock(device.kernel().mutex());
        EXPECT_EQ(device.registry().findLocked(registry::Root::LocalMachine, L"New"), nullptr);
        EXPECT_NE(device.registry().findLocked(registry::Root::LocalMachine, L"Other"), nullptr);
    }
    EXPECT_EQ(linesOf(device, "fault").size(), table.size());
    EXPECT_EQ(linesOf(device, "reg.set").size(), 2u) << "only the set-up wrote";
}

TEST_F(RegistryFaults, ARuleMayGiveItsOwnError)
{
    device.faults().failAlways("RegCreateKeyExW", ERROR_OUTOFMEMORY);
    runProgram(device, [] {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"X", 0, nullptr, 0, 0, nullptr, &key, nullptr),
                  static_cast<LONG>(ERROR_OUTOFMEMORY));
        EXPECT_EQ(GetLastError(), ERROR_OUTOFMEMORY);
    });
}

TEST(RegistryTrace, CallLinesNameTheRootsAndGiveTheResult)
{
    Device device({.trace = trace::TraceLevel::All});
    runProgram(device, [] {
        HKEY key = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Ident", 0, KEY_READ, &key);
        RegCloseKey(HKEY_CURRENT_USER);
    });
    EXPECT_EQ(linesOf(device, "call"), (std::vector<std::string>{
                                           "0 call RegOpenKeyExW(HKLM, \"Ident\", 0, 131097, ptr) = 2",
                                           "0 call RegCloseKey(HKCU) = 0",
                                       }));
}

}  // namespace
}  // namespace velorin::test
