// The device controls and the backlight ramp, tick by tick, as the device sees them.
#include "app/process_globals.h"
#include "services/backlight_ramp.h"
#include "services/device_controls.h"
#include "services/power_source.h"
#include "services/saved_settings.h"
#include "tests/support/utility_test_support.hpp"

namespace velorin::test {
namespace {

class DeviceControls : public ::testing::Test {
protected:
    DeviceControls() : harness(utilityOptions())
    {
        ResetProcessGlobals();
    }
    ~DeviceControls() override
    {
        ResetProcessGlobals();
    }

    // What one ramp tick did: the registry writes and backlight requests, in order.
    Lines tick()
    {
        const std::size_t before = traceLines(harness).size();
        bool ended = false;
        runAsProgram(harness, [&] { ended = BacklightRampTick(); });
        m_ended = ended;
        Lines done;
        const Lines all = traceLines(harness);
        for (std::size_t i = before; i < all.size(); ++i) {
            const std::string& line = all[i];
            for (const char* event : {" reg.set HKCU\\ControlPanel\\BackLight ", " device.power "})
                if (line.find(event) != std::string::npos)
                    done.push_back(line.substr(line.find(event) + 1));
        }
        return done;
    }
    // The ticks of a whole ramp from its start, each as what it did.
    std::vector<Lines> ramp(int ticks = 25)
    {
        StartBacklightRamp();
        std::vector<Lines> done;
        for (int i = 0; i < ticks; ++i)
            done.push_back(tick());
        return done;
    }

    Harness harness;
    bool m_ended = false;
};

std::string level(const char* name, long long value)
{
    return std::string("reg.set HKCU\\ControlPanel\\BackLight ") + name + " dword:" + std::to_string(value);
}
const std::string kFullPower = "device.power BKL1: D0";

TEST_F(DeviceControls, TheRampIsTenSilentTicksElevenWritingTicksAndFourMore)
{
    g_powerSource = POWER_SOURCE_AC;
    g_savedAcBacklightLevel = 3;
    g_savedBatteryBacklightLevel = 5;
    const auto ticks = ramp();
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(ticks[i].empty()) << "tick " << i + 1;
    for (int L = 0; L <= 10; ++L)
        EXPECT_EQ(ticks[10 + L], (Lines{level("AcBacklightLevel", L), level("BatteryBacklightLevel", 5), kFullPower}))
            << "tick " << 11 + L << ": on AC the AC level rises to 10 whatever the saved one";
    for (int i = 21; i < 25; ++i)
        EXPECT_TRUE(ticks[i].empty()) << "tick " << i + 1;
    EXPECT_TRUE(m_ended) << "the 25th tick ends the ramp";
    EXPECT_EQ(g_rampCounter, kRampIdle);
    EXPECT_TRUE(tick().empty()) << "idle afterwards";
}

TEST_F(DeviceControls, OnBatteryTheLevelStopsAtTheSavedOneAndTheAcLevelIsPutBack)
{
    g_powerSource = POWER_SOURCE_BATTERY;
    g_savedAcBacklightLevel = 8;
    g_savedBatteryBacklightLevel = 5;
    const auto ticks = ramp();
    for (int L = 0; L <= 5; ++L)
        EXPECT_EQ(ticks[10 + L], (Lines{level("BatteryBacklightLevel", L), level("AcBacklightLevel", 8), kFullPower}));
    for (int L = 6; L <= 10; ++L)
        EXPECT_EQ(ticks[10 + L], (Lines{level("AcBacklightLevel", 8), kFullPower}));
}

TEST_F(DeviceControls, SavedLevelsAboveTenOrBelowZeroBoundTheRampSigned)
{
    g_powerSource = POWER_SOURCE_BATTERY;
    g_savedBatteryBacklightLevel = 12;
    auto ticks = ramp();
    EXPECT_EQ(ticks[20].front(), level("BatteryBacklightLevel", 10)) << "the last write of a level above 10";

    g_savedBatteryBacklightLevel = -1;
    ticks = ramp();
    for (int L = 0; L <= 10; ++L)
        EXPECT_EQ(ticks[10 + L], (Lines{level("AcBacklightLevel", 0), kFullPower})) << "never the battery level";

    g_powerSource = POWER_SOURCE_DISMISSED;
    g_savedAcBacklightLevel = 4;
    g_savedBatteryBacklightLevel = 6;
    ticks = ramp();
    EXPECT_EQ(ticks[14], (Lines{level("AcBacklightLevel", 4), level("BatteryBacklightLevel", 6), kFullPower}));
    EXPECT_EQ(ticks[15], (Lines{level("BatteryBacklightLevel", 6), kFullPower})) << "dismissed: up to the saved AC";
}

TEST_F(DeviceControls, AnUnknownSourceWritesNoLevelButStillAsksForFullPower)
{
    g_powerSource = POWER_SOURCE_UNKNOWN;
    const auto ticks = ramp();
    for (int L = 0; L <= 10; ++L)
        EXPECT_EQ(ticks[10 + L], (Lines{kFullPower}));
}

TEST_F(DeviceControls, ARestartInTheMiddleStartsOverWithItsSilentTicks)
{
    g_powerSource = POWER_SOURCE_AC;
    ramp(15);
    const auto ticks = ramp();
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(ticks[i].empty()) << "tick " << i + 1;
    EXPECT_EQ(ticks[10].front(), level("AcBacklightLevel", 0));
    EXPECT_TRUE(m_ended);
}

TEST_F(DeviceControls, RotationControlsWriteWhatTheyAreGiven)
{
    for (const auto& [angle, code] : {std::pair{0u, 0}, {90u, 1}, {180u, 2}, {270u, 4}}) {
        g_savedAngle = angle;
        runAsProgram(harness, [] { RestoreOrientation(); });
        EXPECT_EQ(linesWith(harness, " display.orientation")
                      .back()
                      .substr(linesWith(harness, " display.orientation").back().find(' ') + 1),
                  "display.orientation " + std::to_string(code) + " result=0")
            << angle;
    }
    runAsProgram(harness, [] {
        SetDisplayOrientation(DMDO_270);
        SetDisplayOrientation(DMDO_90);
    });
    EXPECT_EQ(linesWith(harness, " display.orientation").size(), 6u);
    // Each turn is asked for with CDS_RESET, whether or not the display is at that angle already.
    const Lines turns = linesWith(harness, " call ChangeDisplaySettingsEx(");
    ASSERT_EQ(turns.size(), 6u);
    for (const std::string& turn : turns)
        EXPECT_NE(turn.find("ChangeDisplaySettingsEx(NULL, ptr, NULL, 1073741824, NULL) = 0"), std::string::npos)
            << turn;

    g_savedAutoRotate = 0x80000005;
    runAsProgram(harness, [] { WriteAutoRotateMasked(); });
    g_savedAutoRotate = 0x00000005;
    runAsProgram(harness, [] { WriteAutoRotateMasked(); });
    EXPECT_EQ(linesWith(harness, "reg.set HKLM\\System\\GDI\\Rotation AutoRotate dword:5").size(), 2u);
}

TEST_F(DeviceControls, TheRotationKeyIsWrittenOnlyThroughAKeyOpenedForWriting)
{
    // The device does not enforce access masks; a desktop registry refuses a write through a
    // key opened for reading, and AutoRotate would then stay as it was while charging.
    g_savedAutoRotate = 0x80000001;
    g_savedAngle = 0;
    runAsProgram(harness, [] { WriteAutoRotateMasked(); });
    runAsProgram(harness, [] { RestoreRotationSettings(); });
    const Lines opens = linesWith(harness, "call RegOpenKeyExW(HKLM, \"System\\\\GDI\\\\Rotation\", 0, ");
    ASSERT_EQ(opens.size(), 2u);
    for (const std::string& open : opens) {
        const std::size_t at = open.find(", 0, ") + 5;
        const unsigned long mask = std::stoul(open.substr(at));
        EXPECT_EQ(mask & KEY_SET_VALUE, static_cast<unsigned long>(KEY_SET_VALUE)) << open;
        EXPECT_EQ(mask & KEY_QUERY_VALUE, static_cast<unsigned long>(KEY_QUERY_VALUE)) << open;
    }
    EXPECT_EQ(linesWith(harness, "reg.set HKLM\\System\\GDI\\Rotation AutoRotate").size(), 2u);
}

// The device, like CE, ignores access masks and takes the battery's last status however it is
// asked; a desktop or another driver would not. So the arguments are pinned as a whole run makes them.
TEST_F(DeviceControls, EveryCallAsksForWhatItsUseNeeds)
{
    constexpr unsigned long kEventModifyState = 0x0002;  // what EventModify needs of the handle
    const auto accessOf = [](const std::string& line, std::string_view before) {
        return std::stoul(line.substr(line.find(before) + before.size()));
    };
    harness.power(1, 40);
    harness.launch();
    harness.runFor(12000);  // a charge, and the keep-awake signal at 10 s
    harness.power(0, 40);
    harness.runFor(3000);
    const Lines settings = linesWith(harness, "call RegCreateKeyExW(HKCU, \"ControlPanel\\\\BackLight\", 0, NULL, 0, ");
    ASSERT_FALSE(settings.empty());
    for (const std::string& open : settings)
        EXPECT_EQ(accessOf(open, ", 0, NULL, 0, ") & KEY_SET_VALUE, static_cast<unsigned long>(KEY_SET_VALUE)) << open;
    const Lines events = linesWith(harness, "call OpenEventW(");
    ASSERT_FALSE(events.empty());
    for (const std::string& open : events)
        EXPECT_EQ(accessOf(open, "OpenEventW(") & kEventModifyState, kEventModifyState) << open;
    const Lines reads = linesWith(harness, "call GetSystemPowerStatusEx2(");
    ASSERT_FALSE(reads.empty());
    for (const std::string& read : reads)
        EXPECT_NE(read.find(", 1) = "), std::string::npos) << "asked for a fresh status: " << read;
}

TEST_F(DeviceControls, OnlyTheTwoLevelNamesAreWrittenAndDimmingGoesOff)
{
    runAsProgram(harness, [] {
        WriteBacklightLevel(L"AcBacklightLevel", 11);
        WriteBacklightLevel(L"BatteryBacklightLevel", -3);
        WriteBacklightLevel(L"UseDim", 1);
        WriteBacklightLevel(L"acbacklightlevel", 2);
        DisableDimSetting();
    });
    EXPECT_EQ(linesWithSince(harness, "reg.set", "launch pid="),
              (Lines{"0 " + level("AcBacklightLevel", 11), "0 " + level("BatteryBacklightLevel", 4294967293LL),
                     "0 " + level("UseDim", 0)}));
}

TEST_F(DeviceControls, KeepAwakeSignalsBothPowerManagerEventsAndSkipsOneThatCannotBeOpened)
{
    runAsProgram(harness, [] {
        SignalSystemActivity();
        SignalReloadActivityTimeouts();
    });
    EXPECT_EQ(linesWith(harness, " event.signal"),
              (Lines{"0 event.signal \"PowerManager/ActivityTimer/SystemActivity\"",
                     "0 event.signal \"PowerManager/ReloadActivityTimeouts\""}));
    harness.faults().failNth("OpenEventW", 3);  // the first of the second pair
    runAsProgram(harness, [] {
        SignalSystemActivity();
        SignalReloadActivityTimeouts();
    });
    const Lines second = linesWithSince(harness, " event.signal", "launch pid=2");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(second[0].find("event.signal \"PowerManager/ReloadActivityTimeouts\""), std::string::npos);
    EXPECT_EQ(linesWithSince(harness, "call CloseHandle(", "launch pid=2").size(), 1u) << "each opened event is closed";
}

}  // namespace
}  // namespace velorin::test
