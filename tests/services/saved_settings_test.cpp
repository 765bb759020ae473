// Capturing and putting back the user's backlight and rotation settings.
#include "app/process_globals.h"
#include "services/saved_settings.h"
#include "tests/support/utility_test_support.hpp"

namespace velorin::test {
namespace {

constexpr WCHAR kBacklight[] = L"ControlPanel\\BackLight";
constexpr WCHAR kRotation[] = L"System\\GDI\\Rotation";

struct Saved {
    LONG battery, ac;
    DWORD useDim, autoRotate, angle;
    bool operator==(const Saved&) const = default;
};

Saved saved()
{
    return {g_savedBatteryBacklightLevel, g_savedAcBacklightLevel, g_savedUseDim, g_savedAutoRotate, g_savedAngle};
}

void setSaved(const Saved& s)
{
    g_savedBatteryBacklightLevel = s.battery;
    g_savedAcBacklightLevel = s.ac;
    g_savedUseDim = s.useDim;
    g_savedAutoRotate = s.autoRotate;
    g_savedAngle = s.angle;
}

class SavedSettingsTest : public ::testing::Test {
protected:
    SavedSettingsTest() : harness(utilityOptions()) { ResetProcessGlobals(); }
    ~SavedSettingsTest() override { ResetProcessGlobals(); }

    Harness harness;
};

TEST_F(SavedSettingsTest, LoadsTheUsersValuesBitForBit)
{
    setDword(harness, Root::CurrentUser, kBacklight, L"BatteryBacklightLevel", 0xFFFFFFFF);
    setDword(harness, Root::CurrentUser, kBacklight, L"AcBacklightLevel", 12);
    setDword(harness, Root::CurrentUser, kBacklight, L"UseDim", 1);
    setDword(harness, Root::LocalMachine, kRotation, L"AutoRotate", 0x80000001);
    setDword(harness, Root::LocalMachine, kRotation, L"Angle", 270);
    runAsProgram(harness, [] {
        LoadRotationSettings();
        LoadBacklightSettings();
    });
    EXPECT_EQ(saved(), (Saved{-1, 12, 1, 0x80000001, 270}));
}

TEST_F(SavedSettingsTest, MissingValuesAndKeysGiveTheirDefaults)
{
    // The backlight key is created and its values default; a missing rotation key gives zeros,
    // an angle of 0 and not 90, and is not created.
    harness.deleteRegistryKey(Root::CurrentUser, kBacklight);
    harness.deleteRegistryKey(Root::LocalMachine, kRotation);
    setSaved({1, 2, 3, 4, 5});
    runAsProgram(harness, [] {
        LoadRotationSettings();
        LoadBacklightSettings();
    });
    EXPECT_EQ(saved(), (Saved{10, 10, 0, 0, 0}));
    EXPECT_TRUE(harness.registryKeyExists(Root::CurrentUser, kBacklight));
    EXPECT_FALSE(harness.registryKeyExists(Root::LocalMachine, kRotation));

    // The rotation key without its angle: 90.
    setDword(harness, Root::LocalMachine, kRotation, L"AutoRotate", 1);
    runAsProgram(harness, [] { LoadRotationSettings(); });
    EXPECT_EQ(g_savedAutoRotate, 1u);
    EXPECT_EQ(g_savedAngle, 90u);
}

TEST_F(SavedSettingsTest, SaveWritesTheThreeBacklightValuesInOrder)
{
    harness.deleteRegistryKey(Root::CurrentUser, kBacklight);
    setSaved({-2, 7, 1, 0, 0});
    runAsProgram(harness, [] { SaveBacklightSettings(); });
    EXPECT_EQ(linesWithSince(harness, "reg.set", "launch pid="),
              (Lines{"0 reg.set HKCU\\ControlPanel\\BackLight BatteryBacklightLevel dword:4294967294",
                     "0 reg.set HKCU\\ControlPanel\\BackLight AcBacklightLevel dword:7",
                     "0 reg.set HKCU\\ControlPanel\\BackLight UseDim dword:1"}));
}

TEST_F(SavedSettingsTest, RestoreWritesBothRotationValuesAutoRotateFirstOrNeither)
{
    struct Case {
        const char* what;
        DWORD angleNow, autoRotateNow;
        Lines writes;
    };
    const Case cases[] = {
        {"unchanged", 90, 0x80000001, {}},
        {"only the angle changed",
         0,
         0x80000001,
         {"reg.set HKLM\\System\\GDI\\Rotation AutoRotate dword:2147483649",
          "reg.set HKLM\\System\\GDI\\Rotation Angle dword:90"}},
        {"only auto-rotate changed",
         90,
         1,
         {"reg.set HKLM\\System\\GDI\\Rotation AutoRotate dword:2147483649",
          "reg.set HKLM\\System\\GDI\\Rotation Angle dword:90"}},
    };
    for (const Case& c : cases) {
        Harness device(utilityOptions());
        setDword(device, Root::LocalMachine, kRotation, L"Angle", c.angleNow);
        setDword(device, Root::LocalMachine, kRotation, L"AutoRotate", c.autoRotateNow);
        setSaved({0, 0, 0, 0x80000001, 90});
        runAsProgram(device, [] { RestoreRotationSettings(); });
        Lines writes;
        for (const auto& line : linesWithSince(device, "reg.set", "launch pid="))
            writes.push_back(line.substr(line.find(' ') + 1));
        EXPECT_EQ(writes, c.writes) << c.what;
        EXPECT_EQ(dword(device, Root::LocalMachine, kRotation, L"Angle"), 90u) << c.what;
    }
}

TEST_F(SavedSettingsTest, RestoreWithoutTheRotationKeyWritesNothing)
{
    harness.deleteRegistryKey(Root::LocalMachine, kRotation);
    runAsProgram(harness, [] {
        LoadRotationSettings();
        RestoreRotationSettings();
    });
    EXPECT_TRUE(linesWithSince(harness, "reg.set", "launch pid=").empty());
    EXPECT_FALSE(harness.registryKeyExists(Root::LocalMachine, kRotation));
}

}  // namespace
}  // namespace velorin::test
