// .reg files: every form they are read in, the form they are written in, byte-for-byte round
// trips in both encodings, and malformed files refused with their line.
#include "registry/reg_file.hpp"

#include "trace/trace_recorder.hpp"

#include <gtest/gtest.h>

namespace velorin::registry {
namespace {

// The value, or an empty one (with a failure) when it is missing.
Value valueAt(const Hive& hive, Root root, std::wstring_view path, std::wstring_view name)
{
    const auto key = findKey(hive.root(root), *splitKeyPath(path));
    const Value* value = key ? key->value(name) : nullptr;
    if (!value) {
        ADD_FAILURE() << "no value \"" << trace::narrow(name) << "\" in " << trace::narrow(path);
        return Value{};
    }
    return *value;
}

bool hasValue(const Hive& hive, Root root, std::wstring_view path, std::wstring_view name)
{
    const auto key = findKey(hive.root(root), *splitKeyPath(path));
    return key && key->value(name);
}

std::string utf16(std::wstring_view text)
{
    std::string out = "\xFF\xFE";
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        const auto unit = [&](char32_t u) {
            out += static_cast<char>(u & 0xFF);
            out += static_cast<char>(u >> 8);
        };
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

TEST(RegFileRead, ReadsEveryFormOfValueAndAppliesDeletionsInOrder)
{
    const std::string text = "Windows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "; a comment\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Velorin]\r\n"
                             "@=\"the default\"\r\n"
                             "\"Escapes\"=\"back\\\\slash and \\\"quotes\\\"\"\r\n"
                             "\"Dword\"=dword:0000002A\r\n"
                             "\"Short\"=DWORD:7\r\n"
                             "\"Binary\"=hex:de,ad,\\\r\n"
                             "  be,ef\r\n"
                             "\"Expand\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\r\n"
                             "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                             "\"Qword\"=hex(b):00,f2,05,2a,01,00,00,00\r\n"
                             "\"Gone\"=dword:1\r\n"
                             "\"gone\"=-\r\n"
                             "\"Spaced\" = dword:00000003   ; a comment after the value\r\n"
                             "\r\n"
                             "[hklm\\SOFTWARE\\VELORIN\\Sub]\n"
                             "\"x\"=\"y\"\n"
                             "[-HKEY_LOCAL_MACHINE\\Software\\Velorin\\sub]\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Velorin\\Doomed\\Child]\n"
                             "[-HKEY_LOCAL_MACHINE\\Software\\Velorin\\Doomed]\n"
                             "[-HKEY_LOCAL_MACHINE\\Software\\NeverThere]\n"
                             "[HKCU\\Empty\\]\n";
    const RegFile file = parseRegFile(text, "read.reg");
    const Hive& hive = file.hive;
    EXPECT_EQ(file.encoding, RegFileEncoding::Utf8);
    const auto value = [&](std::wstring_view name) {
        return valueAt(hive, Root::LocalMachine, L"Software\\Velorin", name);
    };
    EXPECT_EQ(textOf(value(L"")), L"the default");
    EXPECT_EQ(textOf(value(L"escapes")), L"back\\slash and \"quotes\"");
    EXPECT_EQ(dwordOf(value(L"Dword")), 42u);
    EXPECT_EQ(dwordOf(value(L"Short")), 7u);
    EXPECT_EQ(value(L"Binary"), (Value{L"Binary", REG_BINARY, {0xDE, 0xAD, 0xBE, 0xEF}}));
    EXPECT_EQ(value(L"Expand"), stringValue(L"Expand", L"%PATH%", REG_EXPAND_SZ));
    EXPECT_EQ(value(L"Multi"), (Value{L"Multi", REG_MULTI_SZ, wideBytes(std::wstring(L"a\0b\0\0", 5))}));
    EXPECT_EQ(describeData(value(L"Qword")), "qword:5000000000");
    EXPECT_FALSE(hasValue(hive, Root::LocalMachine, L"Software\\Velorin", L"Gone"));
    EXPECT_EQ(dwordOf(value(L"Spaced")), 3u);

    const auto velorin = findKey(hive.root(Root::LocalMachine), {L"software", L"velorin"});
    ASSERT_NE(velorin, nullptr);
    EXPECT_EQ(velorin->name(), L"Velorin") << "a key keeps the case it was first written in";
    EXPECT_TRUE(velorin->children().empty()) << "deleted keys are gone with their sub-keys";
    EXPECT_NE(findKey(hive.root(Root::CurrentUser), {L"Empty"}), nullptr);
}

TEST(RegFileRead, ReadsRegedit4InAnsiAndUtf16WithCharactersBeyondTheBasicPlane)
{
    const RegFile ansi = parseRegFile("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"Caf\xE9\"=\"cr\xE8me\"\r\n"
                                      "\"Exp\"=hex(2):25,50,25,00\r\n",
                                      "old.reg");
    EXPECT_EQ(textOf(valueAt(ansi.hive, Root::CurrentUser, L"A", L"CAF\u00C9")), L"cr\u00E8me");
    EXPECT_EQ(valueAt(ansi.hive, Root::CurrentUser, L"A", L"Exp"), stringValue(L"Exp", L"%P%", REG_EXPAND_SZ))
        << "REGEDIT4 strings in hex are one byte a character";

    const RegFile wide =
        parseRegFile(utf16(L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\\u00C4]\r\n"
                           L"\"Smile\"=\"\U0001F600\"\r\n\"Hex\"=hex(1):3d,d8,00,de,00,00\r\n"),
                     "wide.reg");
    EXPECT_EQ(wide.encoding, RegFileEncoding::Utf16Le);
    EXPECT_EQ(textOf(valueAt(wide.hive, Root::CurrentUser, L"\u00E4", L"Smile")), L"\U0001F600");
    EXPECT_EQ(textOf(valueAt(wide.hive, Root::CurrentUser, L"\u00C4", L"Hex")), L"\U0001F600");

    EXPECT_EQ(parseRegFile("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n", "bom.reg").encoding,
              RegFileEncoding::Utf8Bom);
}

TEST(RegFileWrite, WritesTheEditorsFormSortedWithoutRegardToCase)
{
    Hive hive;
    const auto key = createKey(hive.root(Root::LocalMachine), {L"b", L"Inner"}).key;
    createKey(hive.root(Root::LocalMachine), {L"A"});
    createKey(hive.root(Root::CurrentUser), {L"z"});
    key->setValue(dwordValue(L"zeta", 0xABCDEF));
    key->setValue(stringValue(L"Alpha", L"x"));
    key->setValue(stringValue(L"", L"two\r\nlines"));
    std::vector<BYTE> blob(60);
    for (std::size_t i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<BYTE>(i);
    key->setValue(Value{L"Blob", REG_BINARY, blob});

    const std::string expected = "Windows Registry Editor Version 5.00\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\z]\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\A]\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\b]\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\b\\Inner]\r\n"
                                 "@=hex(1):74,00,77,00,6f,00,0d,00,0a,00,6c,00,69,00,6e,00,65,00,73,00,00,00\r\n"
                                 "\"Alpha\"=\"x\"\r\n"
                                 "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
                                 "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\r\n"
                                 "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b\r\n"
                                 "\"zeta\"=dword:00abcdef\r\n"
                                 "\r\n";
    EXPECT_EQ(formatRegFile(hive, RegFileEncoding::Utf8), expected);
    EXPECT_EQ(formatRegFile(hive, RegFileEncoding::Utf8Bom), "\xEF\xBB\xBF" + expected);
    EXPECT_EQ(formatRegFile(hive, RegFileEncoding::Utf16Le), utf16(trace::widen(expected)));
}

// A file as this registry writes it: every type, escapes, wrapped hex, text beyond ASCII.
const std::wstring kCanonical =
    L"Windows Registry Editor Version 5.00\r\n"
    L"\r\n"
    L"[HKEY_CURRENT_USER\\\u00C4pfel]\r\n"
    L"@=\"default\"\r\n"
    L"\"\u00DCn\u00EFc\u00F6d\u00E9 \u2603\"=\"snow \u2603 and \U0001F600\"\r\n"
    L"\r\n"
    L"[HKEY_LOCAL_MACHINE\\Alpha]\r\n"
    L"\"Binary\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
    L"  16,17,18,19,1a,1b,1c,1d\r\n"
    L"\"Dword\"=dword:deadbeef\r\n"
    L"\"Empty\"=hex:\r\n"
    L"\"Escapes\"=\"a\\\\b \\\"quoted\\\"\"\r\n"
    L"\"Lines\"=hex(1):6c,00,0a,00,00,00\r\n"
    L"\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    L"\"None\"=hex(0):\r\n"
    L"\"Qword\"=hex(b):00,f2,05,2a,01,00,00,00\r\n"
    L"\"Short\"=hex(4):01,02\r\n"
    L"\r\n"
    L"[HKEY_LOCAL_MACHINE\\Alpha\\beta]\r\n"
    L"\r\n"
    L"[HKEY_LOCAL_MACHINE\\Alpha\\beta\\Gamma]\r\n"
    L"\"x\"=dword:00000001\r\n"
    L"\r\n";

TEST(RegFileWrite, AFileItWroteRoundTripsByteForByteInEachEncoding)
{
    const std::string utf8 = trace::narrow(kCanonical);
    const std::vector<std::pair<RegFileEncoding, std::string>> files = {
        {RegFileEncoding::Utf8, utf8},
        {RegFileEncoding::Utf8Bom, "\xEF\xBB\xBF" + utf8},
        {RegFileEncoding::Utf16Le, utf16(kCanonical)},
    };
    for (const auto& [encoding, bytes] : files) {
        const RegFile file = parseRegFile(bytes, "canonical.reg");
        EXPECT_EQ(file.encoding, encoding);
        EXPECT_EQ(formatRegFile(file.hive, file.encoding), bytes) << "encoding " << static_cast<int>(encoding);
    }
    // A REGEDIT4 file comes back in the 5.00 form.
    const RegFile old = parseRegFile("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:00000001\r\n", "old.reg");
    EXPECT_EQ(formatRegFile(old.hive, old.encoding), "Windows Registry Editor Version 5.00\r\n\r\n"
                                                     "[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:00000001\r\n\r\n");
}

struct Malformed {
    const char* what;
    std::string bytes;
    std::string error;  // what the message starts with after "bad.reg:"
};

TEST(RegFileRead, RefusesAMalformedFileWithItsLineAndWhatIsWrong)
{
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n";
    const std::vector<Malformed> table = {
        {"bad header", "Windows Registry Editor Version 4.00\r\n", "1: bad header"},
        {"empty file", "", "1: the file has no header"},
        {"unterminated string", head + "\"a\"=\"abc\r\n", "4: unterminated string"},
        {"unterminated name", head + "\"a=dword:1\r\n", "4: unterminated string"},
        {"bad escape", head + "\"a\"=\"a\\nb\"\r\n", "4: bad escape \"\\n\""},
        {"bad hex digit", head + "\"a\"=hex:01,0g\r\n", "4: bad hex byte \"0g\""},
        {"three hex digits", head + "\"a\"=hex:123\r\n", "4: bad hex byte \"123\""},
        {"empty hex byte", head + "\"a\"=hex:01,,02\r\n", "4: empty hex byte"},
        {"bad hex on a continued line", head + "\"a\"=hex:01,\\\r\n  zz\r\n", "5: bad hex byte \"zz\""},
        {"dword of nine digits", head + "\"a\"=dword:000000001\r\n", "4: dword:000000001 has 9 hex digits"},
        {"dword without digits", head + "\"a\"=dword:\r\n", "4: dword: needs 1 to 8 hex digits"},
        {"value outside any key", "Windows Registry Editor Version 5.00\r\n\"a\"=dword:1\r\n",
         "2: value outside any key"},
        {"value in a deleted key", head + "[-HKEY_CURRENT_USER\\A]\r\n@=\"x\"\r\n", "5: value after a key deletion"},
        {"truncated UTF-16 file", utf16(L"Windows Registry Editor Version 5.00\r\n[HKEY_CUR") + "[",
         "2: the file ends in the middle of a UTF-16 character"},
        {"big-endian UTF-16", "\xFE\xFF", "1: UTF-16 big-endian files are not supported"},
        {"UTF-16 without its mark", utf16(L"Windows Registry Editor Version 5.00\r\n").substr(2),
         "1: the file looks like UTF-16 without its byte-order mark"},
        {"a NUL in the header", std::string("Windows\0Registry\r\n", 18), "1: bad header \"Windows\\x00Registry\""},
        {"invalid UTF-8", head + "\"a\"=\"\xC3\x28\"\r\n", "4: the text is not valid UTF-8"},
        {"unknown root", head + "[HKEY_USERS\\B]\r\n", "4: unknown root \"HKEY_USERS\""},
        {"empty key name", head + "[HKEY_CURRENT_USER\\B\\\\C]\r\n",
         "4: the key \"HKEY_CURRENT_USER\\B\\\\C\" has an empty name"},
        {"key line without ]", head + "[HKEY_CURRENT_USER\\B\r\n", "4: a key line must end with ]"},
        {"key too deep", head + "[HKEY_CURRENT_USER\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q]\r\n",
         "4: the key \"HKEY_CURRENT_USER\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\...\" is 17 levels deep; Windows CE nests "
         "keys at most 16 levels below their root"},
        {"root deletion", head + "[-HKEY_CURRENT_USER]\r\n", "4: a root key cannot be deleted"},
        {"unknown data", head + "\"a\"=qword:1\r\n", "4: unknown value data \"qword:1\""},
        {"text after a value", head + "\"a\"=dword:1 x\r\n", "4: unexpected \"x\" after the value"},
        {"text after a key", head + "[HKEY_CURRENT_USER\\B] x\r\n", "4: unexpected \"x\" after the key's ]"},
        {"odd string bytes", head + "\"a\"=hex(2):41\r\n", "4: hex(2) string data must be whole UTF-16 characters"},
        {"no =", head + "\"a\" dword:1\r\n", "4: expected = after the value name"},
        {"stray line", head + "hello\r\n", "4: expected a key line"},
        {"NUL in a value name", head + std::string("\"ab\0cd\"=dword:1\r\n", 17),
         "4: a NUL in the value name \"ab\\x00cd\"; Windows ends a name at its NUL"},
        {"NUL in a key name", head + std::string("[HKEY_CURRENT_USER\\a\0b]\r\n", 24),
         "4: a NUL in the key name \"HKEY_CURRENT_USER\\a\\x00b\""},
    };
    for (const auto& entry : table) {
        try {
            parseRegFile(entry.bytes, "bad.reg");
            ADD_FAILURE() << entry.what << ": accepted";
        } catch (const RegFileError& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with("bad.reg:" + entry.error)) << entry.what << ": " << e.what();
        }
    }
}

TEST(RegFileRead, NamesAFileThatCannotBeRead)
{
    try {
        readRegFile("/nonexistent/folder/device.reg");
        ADD_FAILURE() << "read a file that does not exist";
    } catch (const RegFileError& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("/nonexistent/folder/device.reg: cannot read the file"))
            << e.what();
    }
}

}  // namespace
}  // namespace velorin::registry
