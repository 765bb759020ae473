// The platform identity: the three known ones, and the near misses that must not pass for one.
#include "services/platform_kind.h"
#include "tests/support/utility_test_support.hpp"

#include <optional>
#include <string>

namespace velorin::test {
namespace {

// The kind read on `harness`, starting from -1 so that "left as it was" shows.
LONG kindOn(Harness& harness, bool keyExists = true)
{
    LONG kind = -1;
    bool keptOpen = false;
    runAsProgram(harness, [&] {
        RegKeyHolder identKey;
        ReadPlatformKind(identKey, kind);
        keptOpen = identKey.m_hKey != nullptr;
    });
    EXPECT_EQ(keptOpen, keyExists) << "the key stays open for the caller";
    return kind;
}

// The kind read with the identity `id` (none: the value is missing).
LONG kindFor(const std::optional<registry::Value>& id, bool keyExists = true)
{
    Harness harness(utilityOptions());
    harness.deleteRegistryKey(Root::LocalMachine, L"Ident");
    if (keyExists)
        harness.setRegistryValue(Root::LocalMachine, L"Ident", registry::dwordValue(L"Other", 1));
    if (id)
        harness.setRegistryValue(Root::LocalMachine, L"Ident", *id);
    return kindOn(harness, keyExists);
}

registry::Value text(std::wstring_view id)
{
    return registry::stringValue(L"PlatformID", id);
}

TEST(PlatformKind, TheThreeIdentitiesGiveTheirKinds)
{
    EXPECT_EQ(kindFor(text(L"511")), 2);
    EXPECT_EQ(kindFor(text(L"522")), 0);
    EXPECT_EQ(kindFor(text(L"533")), 1);
}

// A string stored without its NUL, as a .reg file's hex(1) can give it.
registry::Value unended(std::wstring_view id)
{
    return registry::Value{L"PlatformID", REG_SZ, registry::wideBytes(id)};
}

TEST(PlatformKind, AnIdentityStoredWithoutItsNulReadsAsItsCharacters)
{
    EXPECT_EQ(kindFor(unended(L"511")), 2);
    EXPECT_EQ(kindFor(unended(L"522")), 0);
    EXPECT_EQ(kindFor(unended(L"533")), 1);
    EXPECT_EQ(kindFor(unended(L"5110")), -1);
    EXPECT_EQ(kindFor(unended(L"51")), -1);
    // Characters that fill the whole buffer leave no room for the text's end.
    EXPECT_EQ(kindFor(unended(std::wstring(kPlatformIdChars, L'5'))), -1);

    Harness harness(utilityOptions());
    harness.loadRegistry("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\Ident]\n"
                         "\"PlatformID\"=hex(1):35,00,31,00,31,00\n");
    EXPECT_EQ(kindOn(harness), 2) << "from a .reg file";
}

TEST(PlatformKind, TheTypeIsNotAskedSoBytesThatSpellAnIdentityGiveItsKind)
{
    const auto bytes = registry::wideBytes(std::wstring(L"511\0", 4));
    EXPECT_EQ(kindFor(registry::Value{L"PlatformID", REG_BINARY, bytes}), 2);
    EXPECT_EQ(kindFor(registry::Value{L"PlatformID", REG_MULTI_SZ, registry::wideBytes(std::wstring(L"511\0\0", 5))}), 2);
}

TEST(PlatformKind, NearMissesLeaveTheKindAsItWas)
{
    for (const std::wstring id : {L"5110", L" 511", L"511 ", L"51", L"", L"0522"})
        EXPECT_EQ(kindFor(text(id)), -1) << trace::narrow(id);
    EXPECT_EQ(kindFor(std::nullopt), -1) << "no value";
    EXPECT_EQ(kindFor(std::nullopt, false), -1) << "no key";
    // The number 511 is not the text "511".
    EXPECT_EQ(kindFor(registry::dwordValue(L"PlatformID", 511)), -1);
    // Too long for the buffer, though it begins with an identity and its end.
    EXPECT_EQ(kindFor(text(L"511" + std::wstring(1, L'\0') + std::wstring(300, L'x'))), -1);
    EXPECT_EQ(kindFor(text(std::wstring(300, L'5'))), -1);
}

}  // namespace
}  // namespace velorin::test
