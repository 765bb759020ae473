// The key holder: what it reads with and without a key, which values pass for a number or a
// text, and that it closes what it opened on every path.
#include "services/reg_key_holder.h"
#include "tests/support/utility_test_support.hpp"

#include <string>

namespace velorin::test {
namespace {

constexpr WCHAR kKey[] = L"Software\\HolderTest";

class RegKeyHolderTest : public ::testing::Test {
protected:
    RegKeyHolderTest() : harness(utilityOptions()) {}

    void setValue(std::wstring name, DWORD type, std::vector<BYTE> data)
    {
        harness.setRegistryValue(Root::LocalMachine, kKey, registry::Value{std::move(name), type, std::move(data)});
    }
    std::size_t callsOf(std::string_view function)
    {
        return linesWith(harness, std::string(" call ") + std::string(function) + "(").size();
    }

    Harness harness;
};

TEST_F(RegKeyHolderTest, WithNoKeyOpenReadsGiveZeroAndEmptyTextAndWritesDoNothing)
{
    DWORD number = 7;
    bool textRead = true;
    bool written = true;
    std::wstring text = L"x";
    runAsProgram(harness, [&] {
        RegKeyHolder key;
        key.OpenForRead(HKEY_LOCAL_MACHINE, L"Software\\Missing");
        number = key.ReadDword(L"Anything", 42);  // 0, not the default
        WCHAR buffer[8] = L"stale";
        textRead = key.ReadString(L"Anything", buffer, 8);
        text = buffer;
        written = key.WriteDword(L"Anything", 1);
    });
    EXPECT_EQ(number, 0u);
    EXPECT_FALSE(textRead);
    EXPECT_EQ(text, L"stale") << "a holder without a key does not touch the buffer";
    EXPECT_FALSE(written);
    EXPECT_FALSE(harness.registryKeyExists(Root::LocalMachine, L"Software\\Missing"));
    EXPECT_EQ(callsOf("RegQueryValueExW"), 0u);
    EXPECT_EQ(callsOf("RegSetValueExW"), 0u);
    EXPECT_EQ(callsOf("RegCloseKey"), 0u);
}

TEST_F(RegKeyHolderTest, OpenOrCreateMakesAMissingKeyAndSaysWhetherItHasOne)
{
    bool created = false;
    bool refused = true;
    runAsProgram(harness, [&] {
        RegKeyHolder key;
        created = key.OpenOrCreate(HKEY_CURRENT_USER, L"ControlPanel\\Fresh");
        key.WriteDword(L"Level", 3);
    });
    EXPECT_TRUE(created);
    EXPECT_EQ(dword(harness, Root::CurrentUser, L"ControlPanel\\Fresh", L"Level"), 3u);
    EXPECT_EQ(linesWith(harness, "reg.create HKCU\\ControlPanel\\Fresh").size(), 1u);

    harness.faults().failAlways("RegCreateKeyExW");
    runAsProgram(harness, [&] {
        RegKeyHolder key;
        refused = key.OpenOrCreate(HKEY_CURRENT_USER, L"ControlPanel\\Fresh");
        EXPECT_EQ(key.ReadDword(L"Level", 10), 0u);
        EXPECT_FALSE(key.WriteDword(L"Level", 4));
    });
    EXPECT_FALSE(refused);
    EXPECT_EQ(dword(harness, Root::CurrentUser, L"ControlPanel\\Fresh", L"Level"), 3u);
}

TEST_F(RegKeyHolderTest, ANumberIsWhatTheFourByteBufferHoldsAfterTheReadWhateverTheType)
{
    setDword(harness, Root::LocalMachine, kKey, L"Dword", 0xFFFFFFFF);
    setValue(L"FourBinary", REG_BINARY, {5, 0, 0, 0});
    setValue(L"TwoBytes", REG_BINARY, {1, 0});
    setValue(L"EightBytes", REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0});
    setValue(L"Empty", REG_BINARY, {});
    std::vector<DWORD> read;
    runAsProgram(harness, [&] {
        RegKeyHolder key;
        key.OpenForRead(HKEY_LOCAL_MACHINE, kKey);
        for (const WCHAR* name : {L"Dword", L"FourBinary", L"TwoBytes", L"EightBytes", L"Empty", L"Missing"})
            read.push_back(key.ReadDword(name, 0xABCD1234));
    });
    // Two bytes replace the default's low half; eight do not fit and leave the buffer as it was.
    EXPECT_EQ(read, (std::vector<DWORD>{0xFFFFFFFF, 5, 0xABCD0001, 0xABCD1234, 0xABCD1234, 0xABCD1234}));
}

TEST_F(RegKeyHolderTest, ATextIsReadWhenItEndsWithinTheBufferWhateverItsType)
{
    harness.setRegistryValue(Root::LocalMachine, kKey, registry::stringValue(L"Short", L"522"));
    harness.setRegistryValue(Root::LocalMachine, kKey, registry::stringValue(L"Expand", L"522", REG_EXPAND_SZ));
    harness.setRegistryValue(Root::LocalMachine, kKey, registry::stringValue(L"Fits", std::wstring(7, L'x')));
    harness.setRegistryValue(Root::LocalMachine, kKey, registry::stringValue(L"TooLong", std::wstring(8, L'x')));
    // Eight characters and no end: the bytes fit the buffer exactly, the text does not.
    setValue(L"Unended", REG_SZ, registry::wideBytes(std::wstring(8, L'y')));
    // Three and no end: the text ends in the buffer, whatever the buffer held before.
    setValue(L"ShortUnended", REG_SZ, registry::wideBytes(L"522"));
    // No type is asked for, so other types' bytes are read as they are.
    setDword(harness, Root::LocalMachine, kKey, L"Number", 0x00313135);
    setValue(L"Binary", REG_BINARY, registry::wideBytes(std::wstring(L"522\0", 4)));

    std::vector<std::pair<bool, std::wstring>> read;
    runAsProgram(harness, [&] {
        RegKeyHolder key;
        key.OpenForRead(HKEY_LOCAL_MACHINE, kKey);
        for (const WCHAR* name :
             {L"Short", L"Expand", L"Fits", L"TooLong", L"Unended", L"ShortUnended", L"Number", L"Binary", L"Missing"}) {
            WCHAR buffer[8] = L"stale!";
            const bool ok = key.ReadString(name, buffer, 8);
            read.emplace_back(ok, std::wstring(buffer, std::find(buffer, buffer + 8, L'\0')));
        }
    });
    using R = std::pair<bool, std::wstring>;
    EXPECT_EQ(read, (std::vector<R>{R{true, L"522"}, R{true, L"522"}, R{true, std::wstring(7, L'x')}, R{false, L""},
                                    R{false, L""}, R{true, L"522"}, R{true, std::wstring(1, WCHAR(0x00313135))},
                                    R{true, L"522"}, R{false, L""}}));
}

TEST_F(RegKeyHolderTest, ClosesItsKeyAndFreesItsBufferOnEveryPathAndOnlyOnce)
{
    setDword(harness, Root::LocalMachine, kKey, L"Dword", 1);
    runAsProgram(harness, [&] {
        {
            RegKeyHolder key;  // closed by its end
            key.OpenForRead(HKEY_LOCAL_MACHINE, kKey);
        }
        RegKeyHolder key;
        key.OpenForRead(HKEY_LOCAL_MACHINE, kKey);
        key.OpenForRead(HKEY_LOCAL_MACHINE, kKey);  // the first key is not lost
        key.m_pBuffer = LocalAlloc(LPTR, 16);
        key.Close();
        key.Close();
        EXPECT_EQ(key.m_hKey, nullptr);
        EXPECT_EQ(key.m_pBuffer, nullptr);
    });
    EXPECT_EQ(callsOf("RegOpenKeyExW"), 3u);
    EXPECT_EQ(linesWith(harness, "call RegCloseKey(").size(), 3u);
    EXPECT_EQ(linesWith(harness, "call LocalFree(ptr) = NULL").size(), 1u);
}

}  // namespace
}  // namespace velorin::test
