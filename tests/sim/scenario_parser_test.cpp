// Scenario files read into lines: times, comments and line endings, each group of commands, and
// mistakes told with file, line and reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim/scenario/scenario.hpp"

namespace velorin::sim {
namespace {

Scenario parse(std::string_view text)
{
    return parseScenario(text, "t.scn");
}

Command commandOf(const std::string& line)
{
    const Scenario scenario = parse("0 " + line);
    EXPECT_EQ(scenario.lines.size(), 1u) << line;
    return scenario.lines.at(0).command;
}

std::string errorOf(std::string_view text)
{
    try {
        parse(text);
    } catch (const ScenarioError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(ScenarioTimes, AbsoluteAndRelativeTimesKeepFileOrder)
{
    const Scenario s = parse("+1s plug\n2s launch\n2s unplug\n+500ms end\n");
    ASSERT_EQ(s.lines.size(), 4u);
    std::vector<DeviceTime> times;
    for (const auto& line : s.lines)
        times.push_back(line.at);
    EXPECT_EQ(times, (std::vector<DeviceTime>{1'000, 2'000, 2'000, 2'500}));
    EXPECT_EQ(commandName(s.lines[1].command), "launch");
    EXPECT_EQ(commandName(s.lines[2].command), "unplug");
}

TEST(ScenarioTimes, BadTimesNameFileLineAndProblem)
{
    EXPECT_EQ(errorOf("0 plug\n\n2s plug\n1s unplug\n"), "t.scn:4: time goes backwards: 1s is before 2s of line 3");
    EXPECT_EQ(errorOf("1.5s plug\n+1s plug\n2s plug\n"), "t.scn:3: time goes backwards: 2s is before 2.5s of line 2");
    EXPECT_EQ(errorOf(std::string_view("0\0 \0p\0l\0u\0g\0", 12)),
              "t.scn:1: the file looks like UTF-16 (a NUL after every character); a scenario is UTF-8 text");
    EXPECT_EQ(errorOf("5 plug"), "t.scn:1: time '5' needs a unit: ms, s, m or h");
    EXPECT_EQ(errorOf("+5 plug"), "t.scn:1: time '5' needs a unit: ms, s, m or h");
    EXPECT_EQ(errorOf("9223372032559808s plug\n+1s plug"),
              "t.scn:2: time '+1s' after 9223372032559808s is past the device's last moment, 9223372032559808511ms");
    EXPECT_EQ(errorOf("plug"), "t.scn:1: a line must start with a time (e.g. 0, 2s, +500ms), got 'plug'");
    EXPECT_EQ(errorOf("2s   # only a time"), "t.scn:1: a command must follow the time '2s'");
}

TEST(ScenarioLines, CommentsBlanksCrlfAndBomAreHandled)
{
    const Scenario s = parse("\xEF\xBB\xBF# setup\r\n"
                             "\r\n"
                             "\t0   percent 40   # low battery\r\n"
                             "1s click \"Save #1\" # quoted hash is text\r\n"
                             "2s click Item#2\r\n"
                             "3s expect pixel 1 2 #A0b1C2 # the colour is not a comment\r\n"
                             "4s end\r\n"
                             "   # trailing comment\r\n");
    ASSERT_EQ(s.lines.size(), 5u);
    EXPECT_EQ(s.file, "t.scn");
    EXPECT_EQ(s.lines[0].where.line, 3);
    EXPECT_EQ(s.lines[0].text, "0   percent 40");
    EXPECT_EQ(s.lines[1].command, Command(ClickCommand{"Save #1"}));
    EXPECT_EQ(s.lines[2].command, Command(ClickCommand{"Item#2"}));
    EXPECT_EQ(s.lines[3].command, Command(ExpectPixelCommand{1, 2, 0xA0B1C2}));
    EXPECT_EQ(s.lines[3].text, "3s expect pixel 1 2 #A0b1C2");
    EXPECT_EQ(s.lines[4].where.line, 7);

    EXPECT_EQ(errorOf("0 expect pixel 1 2 # red"), "t.scn:1: expect pixel needs <x> <y> #rrggbb");
    EXPECT_EQ(errorOf("0 expect pixel 1 2 #red"), "t.scn:1: expect pixel colour must be #rrggbb, got '#red'");
    EXPECT_EQ(errorOf("0 tap 1 #2"), "t.scn:1: tap needs <x> <y>");
    EXPECT_EQ(errorOf("0 end\n  # fine\n\n2s plug"),
              "t.scn:4: nothing but blank and comment lines may follow 'end' of line 1");
}

TEST(ScenarioCommands, PowerAndInput)
{
    using S = PowerCommand::Spelling;
    EXPECT_EQ(commandOf("power ac=1 percent=80"), Command(PowerCommand{1, 80, S::Power}));
    EXPECT_EQ(commandOf("power percent=0 ac=255"), Command(PowerCommand{255, 0, S::Power}));
    EXPECT_EQ(commandOf("power ac=2"), Command(PowerCommand{2, {}, S::Power}));
    EXPECT_EQ(commandOf("plug"), Command(PowerCommand{1, {}, S::Plug}));
    EXPECT_EQ(commandOf("unplug"), Command(PowerCommand{0, {}, S::Unplug}));
    EXPECT_EQ(commandOf("percent 255"), Command(PowerCommand{{}, 255, S::Percent}));
    EXPECT_EQ(commandName(commandOf("percent 5")), "percent");

    EXPECT_EQ(commandOf("launch"), Command(LaunchCommand{}));
    EXPECT_EQ(commandOf("tap 0 319"), Command(TapCommand{0, 319}));
    EXPECT_EQ(commandOf("click   Don't ask again  "), Command(ClickCommand{"Don't ask again"}));
    EXPECT_EQ(commandOf(R"(click "  say \"hi\" \\ ")"), Command(ClickCommand{R"(  say "hi" \ )"}));
    EXPECT_EQ(commandOf("key esc"), Command(KeyCommand{KeyCommand::Key::Esc}));
    EXPECT_EQ(commandOf("key enter"), Command(KeyCommand{KeyCommand::Key::Enter}));
    EXPECT_EQ(commandOf("rotate 270"), Command(RotateCommand{270}));
    EXPECT_EQ(commandOf("snapshot \"out dir/a.PNG\""), Command(SnapshotCommand{"out dir/a.PNG"}));
}

TEST(ScenarioCommands, Registry)
{
    EXPECT_EQ(commandOf(R"(reg set HKLM\Software\Velorin Mode dword:0xFFFFFFFF)"),
              Command(RegSetCommand{RegRoot::HKLM, R"(Software\Velorin)", "Mode", RegValue{0xFFFFFFFFu}}));
    EXPECT_EQ(commandOf(R"(reg set hkcu\A "Start Page" sz:"\Windows\x \"y\".exe")"),
              Command(RegSetCommand{RegRoot::HKCU, "A", "Start Page", RegValue{std::string(R"(\Windows\x "y".exe)")}}));
    EXPECT_EQ(commandOf(R"(reg set "HKEY_CURRENT_USER\Control Panel" "" dword:42)"),
              Command(RegSetCommand{RegRoot::HKCU, "Control Panel", "", RegValue{42u}}));
    EXPECT_EQ(commandOf(R"(reg delete HKLM\A\B)"), Command(RegDeleteCommand{RegRoot::HKLM, R"(A\B)", std::nullopt}));
    EXPECT_EQ(commandOf(R"(reg delete HKLM\A Name)"), Command(RegDeleteCommand{RegRoot::HKLM, "A", "Name"}));
    EXPECT_EQ(commandName(commandOf(R"(reg delete HKLM\A)")), "reg delete");
}

TEST(ScenarioCommands, Expectations)
{
    using W = ExpectWindowCommand::State;
    EXPECT_EQ(commandOf("expect window visible"), Command(ExpectWindowCommand{W::Visible}));
    EXPECT_EQ(commandOf("expect window hidden"), Command(ExpectWindowCommand{W::Hidden}));
    EXPECT_EQ(commandOf("expect window none"), Command(ExpectWindowCommand{W::None}));
    EXPECT_EQ(commandOf("expect running"), Command(ExpectProcessCommand{true}));
    EXPECT_EQ(commandOf("expect exited"), Command(ExpectProcessCommand{false}));
    EXPECT_EQ(commandName(commandOf("expect exited")), "expect exited");
    EXPECT_EQ(commandOf(R"(expect reg HKLM\A B dword:7)"),
              Command(ExpectRegCommand{RegRoot::HKLM, "A", "B", RegValue{7u}}));
    EXPECT_EQ(commandOf(R"(expect reg HKLM\A B sz:"")"),
              Command(ExpectRegCommand{RegRoot::HKLM, "A", "B", RegValue{std::string()}}));
    EXPECT_EQ(commandOf(R"(expect reg HKCU\A B absent)"),
              Command(ExpectRegCommand{RegRoot::HKCU, "A", "B", std::nullopt}));
    EXPECT_EQ(commandOf("expect orientation 90"), Command(ExpectOrientationCommand{90}));
    EXPECT_EQ(commandOf("expect backlight on"), Command(ExpectBacklightCommand{true, {}}));
    EXPECT_EQ(commandOf("expect backlight on level=10"), Command(ExpectBacklightCommand{true, 10}));
    EXPECT_EQ(commandOf("expect backlight off"), Command(ExpectBacklightCommand{false, {}}));
    EXPECT_EQ(commandOf("expect pixel 0 0 #000000"), Command(ExpectPixelCommand{0, 0, 0}));
}

TEST(ScenarioErrors, MistakesAreReportedWithFileLineAndReason)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"tapp 1 2", "unknown command 'tapp'"},
        {std::string("pl\0ug", 5), "a NUL byte in the line '1s pl\\x00ug'; a scenario is UTF-8 text"},
        {"Plug", "unknown command 'Plug'"},
        {"tap 1", "tap needs <x> <y>"},
        {"tap -1 2", "tap x must be a whole number, 0 or more, got -1"},
        {"tap 1 2 3", "unexpected '3' after 'tap 1 2'"},
        {"key esc foo", "unexpected 'foo' after 'key esc'"},
        {"key space", "key must be esc or enter, got 'space'"},
        {"launch now", "unexpected 'now' after 'launch'"},
        {"percent 300", "percent must be 0..255, got 300"},
        {"power", "power needs ac=<0|1|2|255> and/or percent=<0..255>"},
        {"power ac=3", "ac must be 0, 1, 2 or 255, got 3"},
        {"power ac=1 ac=0", "power: ac= given twice"},
        {"power percent=256", "percent must be 0..255, got 256"},
        {"power ac 1", "power takes ac=<0|1|2|255> and percent=<0..255>, got 'ac'"},
        {"rotate 45", "rotate must be 0, 90, 180 or 270, got 45"},
        {"click", "click needs <text> (the button's text)"},
        {"click \"\"", "click text must not be empty"},
        {"click \"OK\" now", "unexpected 'now' after closing quote of \"OK\""},
        {"click \"OK", "missing closing quote in \"OK (a backslash before a quote escapes it; "
                       "write \\\\ for a backslash)"},
        {"snapshot shot.bmp", "snapshot needs a file name ending in .png, got 'shot.bmp'"},
        {"reg", "reg needs set or delete"},
        {"reg put HKLM\\A B dword:1", "reg needs set or delete, got 'put'"},
        {"reg set HKLM\\A B", "reg set needs <ROOT>\\<path> <name> dword:<n>|sz:\"<text>\""},
        {"reg set HKLM A dword:1", "registry key needs a path after the root, got 'HKLM'"},
        {"reg set HKLM\\ A dword:1", "registry key needs a path after the root, got 'HKLM\\'"},
        {"reg set HKXX\\A B dword:1", "registry key must start with HKLM\\ or HKCU\\, got 'HKXX\\A'"},
        {"reg set HKLM\\A\\\\B N dword:1", "registry key 'HKLM\\A\\\\B' has an empty part"},
        {"reg set HKLM\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q N dword:1",
         "registry key 'HKLM\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q' is 17 levels deep; Windows CE "
         "nests keys at most 16 levels below their root"},
        {"reg set HKLM\\A N dword:4294967296",
         "dword must fit in 32 bits (at most 4294967295 or 0xffffffff), got 'dword:4294967296'"},
        {"reg set HKLM\\A N dword:-1", "dword must be a decimal or 0x hex number, got 'dword:-1'"},
        {"reg set HKLM\\A N sz:text", "sz text must be in double quotes: sz:\"<text>\", got 'sz:text'"},
        {"reg set HKLM\\A N 5", "registry value must be dword:<n> or sz:\"<text>\", got '5'"},
        {"reg set HKLM\\A na\"me\" dword:1", "quote in the middle of 'na\"me\"'; put the whole word in double quotes"},
        {"reg delete HKLM\\A N extra", "unexpected 'extra' after 'reg delete HKLM\\A N'"},
        {"expect", "expect needs window, running, exited, reg, orientation, backlight or pixel"},
        {"expect visible", "unknown expectation 'expect visible'; expect takes window, running, "
                           "exited, reg, orientation, backlight or pixel"},
        {"expect window open", "expect window must be visible, hidden or none, got 'open'"},
        {"expect reg HKLM\\A B gone", "registry value must be dword:<n>, sz:\"<text>\" or absent, got 'gone'"},
        {"expect backlight off level=3", "level= goes only with 'expect backlight on'; an off backlight has no level"},
        {"expect backlight on level=11", "backlight level must be 0..10, got 11"},
        {"expect backlight on bright", "unexpected 'bright' after 'expect backlight on'"},
        {"expect pixel 1 2 #12345", "expect pixel colour must be #rrggbb, got '#12345'"},
        {"end now", "unexpected 'now' after 'end'"},
    };
    for (const auto& [line, reason] : cases) {
        EXPECT_EQ(errorOf("# header\n0 launch\n1s " + line), "t.scn:3: " + reason) << line;
    }
}

TEST(ScenarioErrors, ErrorKeepsLocationAndBareReason)
{
    try {
        parseScenario("0 launch\n\n1s rotate 1\n", "demo.scn");
        FAIL() << "no error";
    } catch (const ScenarioError& e) {
        EXPECT_EQ(e.location().file, "demo.scn");
        EXPECT_EQ(e.location().line, 3);
        EXPECT_EQ(e.reason(), "rotate must be 0, 90, 180 or 270, got 1");
    }
}

TEST(ScenarioFile, LoadsAFileAndReportsOneThatCannotBeRead)
{
    const std::filesystem::path dir = ::testing::TempDir();
    const std::string path = (dir / "velorin_scenario_load.scn").string();
    std::ofstream(path, std::ios::binary) << "0 plug\n+1s expect running\n";
    const Scenario s = loadScenarioFile(path);
    EXPECT_EQ(s.file, path);
    ASSERT_EQ(s.lines.size(), 2u);
    EXPECT_EQ(s.lines[1].where.file, path);
    EXPECT_EQ(s.lines[1].at, 1'000);
    std::filesystem::remove(path);

    const std::string missing = (dir / "velorin_no_such.scn").string();
    EXPECT_THROW(
        {
            try {
                loadScenarioFile(missing);
            } catch (const ScenarioError& e) {
                EXPECT_EQ(std::string(e.what()), missing + ": cannot read: No such file or directory");
                throw;
            }
        },
        ScenarioError);
}

}  // namespace
}  // namespace velorin::sim
