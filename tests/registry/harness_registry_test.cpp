// The registry from outside the program: the default hive, changes made by the harness and by
// scenario lines, whole-or-nothing loads, and expect reg.
#include "sim/harness/harness.hpp"
#include "sim/player/scenario_player.hpp"

#include <windows.h>

#include <gtest/gtest.h>

namespace velorin::sim {
namespace {

using registry::Root;

std::optional<DWORD> dword(Harness& harness, Root root, std::wstring_view path, std::wstring_view name)
{
    const auto value = harness.registryValue(root, path, name);
    return value ? registry::dwordOf(*value) : std::nullopt;
}

TEST(DefaultHive, HoldsWhatTheUtilityReadsWithPlausibleValues)
{
    Harness harness;
    EXPECT_EQ(dword(harness, Root::LocalMachine, L"Drivers\\BuiltIn\\Battery", L"Velorin"), 1u);
    const auto platform = harness.registryValue(Root::LocalMachine, L"Ident", L"PlatformID");
    ASSERT_TRUE(platform);
    EXPECT_EQ(platform->type, REG_SZ);
    const std::wstring id = *registry::textOf(*platform);
    EXPECT_TRUE(id == L"511" || id == L"522" || id == L"533") << "a known platform";
    for (const wchar_t* level : {L"BatteryBacklightLevel", L"AcBacklightLevel"})
        EXPECT_LE(dword(harness, Root::CurrentUser, L"ControlPanel\\BackLight", level).value_or(99), 10u) << level;
    EXPECT_LE(dword(harness, Root::CurrentUser, L"ControlPanel\\BackLight", L"UseDim").value_or(99), 1u);
    EXPECT_EQ(dword(harness, Root::LocalMachine, L"System\\GDI\\Rotation", L"Angle"), 0u);
    EXPECT_TRUE(dword(harness, Root::LocalMachine, L"System\\GDI\\Rotation", L"AutoRotate"));
    for (const wchar_t* timeout : {L"ACUserIdle", L"ACSuspend", L"BattUserIdle", L"BattSuspend"})
        EXPECT_TRUE(dword(harness, Root::LocalMachine, L"System\\CurrentControlSet\\Control\\Power\\Timeouts", timeout))
            << timeout;
    EXPECT_TRUE(harness.trace().lines().empty()) << "booting with a hive is no event";
}

TEST(HarnessRegistry, ChangesFromOutsideAreTracedAsAProgramsAre)
{
    HarnessOptions options;
    options.defaultRegistry = false;
    Harness harness(options);
    harness.runFor(1500);
    harness.setRegistryValue(Root::CurrentUser, L"ControlPanel\\BackLight", registry::dwordValue(L"UseDim", 0));
    harness.setRegistryValue(Root::LocalMachine, L"Ident", registry::stringValue(L"PlatformID", L"511"));
    EXPECT_TRUE(harness.deleteRegistryValue(Root::CurrentUser, L"controlpanel\\backlight", L"usedim"));
    EXPECT_FALSE(harness.deleteRegistryValue(Root::CurrentUser, L"ControlPanel\\BackLight", L"UseDim"));
    EXPECT_TRUE(harness.deleteRegistryKey(Root::CurrentUser, L"ControlPanel"));
    EXPECT_FALSE(harness.deleteRegistryKey(Root::CurrentUser, L"ControlPanel"));
    EXPECT_EQ(harness.trace().lines(), (std::vector<std::string>{
                                           "1500 reg.create HKCU\\ControlPanel",
                                           "1500 reg.create HKCU\\ControlPanel\\BackLight",
                                           "1500 reg.set HKCU\\ControlPanel\\BackLight UseDim dword:0",
                                           "1500 reg.create HKLM\\Ident",
                                           "1500 reg.set HKLM\\Ident PlatformID sz:\"511\"",
                                           "1500 reg.delete HKCU\\ControlPanel\\BackLight UseDim",
                                           "1500 reg.delete HKCU\\ControlPanel",
                                       }));
}

TEST(HarnessRegistry, AMalformedHiveIsRefusedWholeAndAProgramsOpenKeysSeeANewOneGo)
{
    Harness harness;
    try {
        harness.loadRegistry("Windows Registry Editor Version 5.00\n[-HKEY_LOCAL_MACHINE\\Ident]\n"
                             "[HKEY_CURRENT_USER\\New]\n\"a\"=dword:1\n\"b\"=dword:123456789\n",
                             "broken.reg");
        ADD_FAILURE() << "a malformed hive was loaded";
    } catch (const registry::RegFileError& e) {
        EXPECT_STREQ(e.what(), "broken.reg:5: dword:123456789 has 9 hex digits; a dword has at most 8");
    }
    EXPECT_TRUE(harness.registryKeyExists(Root::LocalMachine, L"Ident")) << "nothing of the file was loaded";
    EXPECT_FALSE(harness.registryKeyExists(Root::CurrentUser, L"New"));

    // A program's key of the old hive is refused once another hive replaces it.
    Program program;
    program.name = "holder";
    program.entry = [] {
        HKEY key = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Ident", 0, KEY_READ, &key);
        Sleep(1000);
        DWORD size = 0;
        return static_cast<int>(RegQueryValueExW(key, L"PlatformID", nullptr, nullptr, nullptr, &size));
    };
    HarnessOptions options;
    options.program = program;
    Harness holder(options);
    holder.launch();
    holder.runFor(500);
    holder.loadRegistry("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\Ident]\n\"PlatformID\"=\"522\"\n");
    holder.runFor(1000);
    const auto ended = holder.lastEnded();
    ASSERT_TRUE(ended) << "the program never ended";
    EXPECT_EQ(ended->exitCode, static_cast<int>(ERROR_KEY_DELETED));
}

Scenario scenario(std::string_view text)
{
    return parseScenario(text, "reg.scn");
}

TEST(RegistryScenario, SetupLinesRunBeforeTheLaunchAndExpectRegSaysWhatItFound)
{
    Harness harness;
    const PlayResult result = ScenarioPlayer(harness).play(scenario(R"(
        0     reg set HKLM\Ident PlatformID sz:"511"
        0     reg delete HKCU\ControlPanel\BackLight UseDim
        0     expect reg HKLM\Ident PlatformID sz:"511"
        0     expect reg HKCU\ControlPanel\BackLight UseDim absent
        1s    reg set HKCU\Software\Velorin "two words" dword:0x10
        +0    expect reg hkcu\software\velorin "TWO WORDS" dword:16
        +0    reg delete HKCU\Software
        +0    expect reg HKCU\Software\Velorin "two words" absent
        2s    expect reg HKLM\Ident PlatformID dword:511
        +0    expect reg HKLM\Ident Missing sz:"x"
        +0    expect reg HKLM\Nowhere Name dword:1
        +0    expect reg HKLM\Drivers\BuiltIn\Battery Velorin absent
    )"));
    EXPECT_EQ(result.expectsChecked, 8);
    EXPECT_EQ(result.failures, (std::vector<std::string>{
                                   "reg.scn:10: expect reg failed: HKLM\\Ident PlatformID is sz:\"511\", not dword:511",
                                   "reg.scn:11: expect reg failed: HKLM\\Ident Missing is absent",
                                   "reg.scn:12: expect reg failed: the key HKLM\\Nowhere does not exist",
                                   "reg.scn:13: expect reg failed: HKLM\\Drivers\\BuiltIn\\Battery Velorin is "
                                   "dword:1, not absent",
                               }));
    const auto& lines = harness.trace().lines();
    const auto launch = std::find(lines.begin(), lines.end(), "0 launch pid=1");
    const auto set = std::find(lines.begin(), lines.end(), "0 reg.set HKLM\\Ident PlatformID sz:\"511\"");
    ASSERT_NE(launch, lines.end());
    EXPECT_LT(set, launch) << "time-0 registry lines set the device up before the program starts";
    EXPECT_NE(std::find(lines.begin(), lines.end(), "1000 reg.delete HKCU\\Software"), lines.end());
}

}  // namespace
}  // namespace velorin::sim
