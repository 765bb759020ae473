// The backlight driver "BKL1:": the level it reads at each D0 request, off at D4, the requests
// it refuses, and the pictures that darken with it.
#include "power_test_support.hpp"

#include "gdi/png_file.hpp"
#include "sim/harness/harness.hpp"
#include "sim/player/scenario_player.hpp"

#include <filesystem>

namespace velorin::test {
namespace {

using registry::Root;
using Backlight = DeviceTest;

DWORD request(const wchar_t* device, CEDEVICE_POWER_STATE state, DWORD flags = POWER_NAME)
{
    return DevicePowerNotify(const_cast<wchar_t*>(device), state, flags);
}

// Runs each step as a program of its own, then 10 ms of device time.
struct Stepper {
    Device& device;
    void operator()(const std::function<void()>& step)
    {
        static std::function<void()> s_step;
        s_step = step;
        launch(device, [] { s_step(); });
        device.runFor(10);
    }
};

TEST_F(Backlight, D0TakesThePresentLinesLevelFromTheRegistryAtEachRequest)
{
    Stepper run{device};
    EXPECT_EQ(seen(device), (power::Backlight{true, 10})) << "boots on at full level";
    setDword(device, Root::CurrentUser, kBacklightKey, L"AcBacklightLevel", 8);
    setDword(device, Root::CurrentUser, kBacklightKey, L"BatteryBacklightLevel", 5);
    run([] { request(L"BKL1:", D0); });
    EXPECT_EQ(seen(device), (power::Backlight{true, 5}));

    // A new value counts from the next request on, not before; nor does a new line.
    setDword(device, Root::CurrentUser, kBacklightKey, L"BatteryBacklightLevel", 3);
    report(device, AC_LINE_ONLINE, std::nullopt);
    EXPECT_EQ(seen(device), (power::Backlight{true, 5}));
    run([] { request(L"bkl1:", D0); });  // names are not case-sensitive
    EXPECT_EQ(seen(device), (power::Backlight{true, 8}));

    // Clamped as a signed number; a missing value keeps the level.
    for (const auto& [value, level] : {std::pair{11u, 10}, std::pair{0xFFFFFFFFu, 0}, std::pair{0u, 0}}) {
        setDword(device, Root::CurrentUser, kBacklightKey, L"AcBacklightLevel", value);
        run([] { request(L"BKL1:", D0); });
        EXPECT_EQ(seen(device), (power::Backlight{true, level})) << value;
    }
    setDword(device, Root::CurrentUser, kBacklightKey, L"AcBacklightLevel", 6);
    run([] { request(L"BKL1:", D0); });
    {
        std::lock_guard lock(device.kernel().mutex());
        device.registry().deleteValueLocked(Root::CurrentUser, kBacklightKey, L"AcBacklightLevel");
    }
    run([] { request(L"BKL1:", D0); });
    EXPECT_EQ(seen(device), (power::Backlight{true, 6}));

    // Off at D4 (and D2, D3), dimmed at D1, back at D0.
    run([] { request(L"BKL1:", D4); });
    EXPECT_EQ(seen(device), (power::Backlight{false, 0}));
    run([] { request(L"BKL1:", D1); });
    EXPECT_EQ(seen(device), (power::Backlight{true, power::kDimLevel}));
    run([] { request(L"BKL1:", D3); });
    run([] { request(L"BKL1:", D0); });
    EXPECT_EQ(seen(device), (power::Backlight{true, 6}));

    EXPECT_EQ(eventsOf(device, {"device.power", "backlight"}),
              (Lines{"0 device.power BKL1: D0",   "0 backlight on=1 level=5",  "10 device.power BKL1: D0",
                     "10 backlight on=1 level=8", "20 device.power BKL1: D0",  "20 backlight on=1 level=10",
                     "30 device.power BKL1: D0",  "30 backlight on=1 level=0", "40 device.power BKL1: D0",
                     "50 device.power BKL1: D0",  "50 backlight on=1 level=6", "60 device.power BKL1: D0",
                     "70 device.power BKL1: D4",  "70 backlight on=0 level=0", "80 device.power BKL1: D1",
                     "80 backlight on=1 level=1", "90 device.power BKL1: D3",  "90 backlight on=0 level=0",
                     "100 device.power BKL1: D0", "100 backlight on=1 level=6"}));
}

TEST_F(Backlight, RequestsForOtherDevicesOrStatesAreRefusedAndChangeNothing)
{
    std::vector<DWORD> results;
    launch(device, [&] {
        results.push_back(request(L"BKL2:", D4));
        results.push_back(request(L"BKL1", D4));
        results.push_back(request(L"BKL1:", PwrDeviceMaximum));
        results.push_back(request(L"BKL1:", PwrDeviceUnspecified));
        results.push_back(request(L"BKL1:", D4, 0));  // without POWER_NAME the name is not one
        results.push_back(DevicePowerNotify(nullptr, D4, POWER_NAME));
    });
    device.runFor(10);
    EXPECT_EQ(results, (std::vector<DWORD>{ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_INVALID_PARAMETER,
                                           ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER}));
    EXPECT_EQ(eventsOf(device, {"device.power", "backlight"}), Lines{});
    EXPECT_EQ(seen(device), (power::Backlight{true, 10}));
}

TEST(BrightnessCurve, ScalesEachChannelAndBlacksOutWhenOff)
{
    gdi::Surface screen(2, 1, gdi::rgb(255, 128, 10));
    screen.setPixel(1, 0, gdi::rgb(255, 255, 255));
    EXPECT_EQ(power::asSeen(screen, {true, 10}), screen);
    EXPECT_EQ(power::asSeen(screen, {true, 5}).pixel(0, 0), gdi::rgb(140, 70, 6));  // 55 %
    EXPECT_EQ(power::asSeen(screen, {true, 0}).pixel(1, 0), gdi::rgb(26, 26, 26));  // 10 %, still lit
    EXPECT_EQ(power::asSeen(screen, {false, 0}), gdi::Surface(2, 1, 0));
    int previous = -1;
    for (int level = 0; level <= 10; ++level) {
        const int percent = power::brightnessPercent({true, level});
        EXPECT_GT(percent, previous);
        previous = percent;
    }
    EXPECT_EQ(previous, 100);
}

// A white full-screen window; then a backlight request each second: D0 at 1 s, D4 at 2 s and
// D0 at 3 s.
int whiteScreenProgram()
{
    static int s_tick;
    s_tick = 0;
    WNDCLASSW cls{};
    cls.lpfnWndProc = DefWindowProcW;
    cls.lpszClassName = L"White";
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&cls);
    CreateWindowExW(0, L"White", L"White", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                    GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR, DWORD) {
        const CEDEVICE_POWER_STATE states[] = {D0, D4, D0};
        if (s_tick < 3)
            request(L"BKL1:", states[s_tick++]);
    });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
    return 0;
}

TEST(BacklightPictures, SnapshotsDarkenWithTheLevelAndGoBlackAtD4WhileExpectPixelSeesTheLogicalScreen)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(::testing::TempDir()) / "velorin-power-pictures";
    fs::remove_all(dir);
    sim::HarnessOptions options;
    options.program = sim::Program{"white", whiteScreenProgram, {}, L"White"};
    options.framesDir = dir / "frames";
    sim::Harness harness(options);
    const sim::PlayResult result = sim::ScenarioPlayer(harness).play(
        sim::parseScenario("0 reg set HKCU\\ControlPanel\\BackLight BatteryBacklightLevel dword:2\n"
                           "500ms snapshot \"" +
                               (dir / "full.png").string() +
                               "\"\n"
                               "1500ms snapshot \"" +
                               (dir / "low.png").string() +
                               "\"\n"
                               "1500ms expect pixel 10 10 #ffffff\n"
                               "1500ms expect backlight on level=2\n"
                               "2500ms snapshot \"" +
                               (dir / "off.png").string() +
                               "\"\n"
                               "2500ms expect pixel 10 10 #ffffff\n"
                               "2500ms expect backlight off\n"
                               "3500ms snapshot \"" +
                               (dir / "again.png").string() + "\"\n",
                           "pictures.scn"));
    EXPECT_EQ(result.failures, Lines{});
    const auto pixel = [&](const char* name) { return gdi::readPng(dir / name).pixel(10, 10); };
    EXPECT_EQ(pixel("full.png"), gdi::rgb(255, 255, 255));
    EXPECT_EQ(pixel("low.png"), gdi::rgb(71, 71, 71));  // level 2: 28 %
    EXPECT_EQ(pixel("off.png"), gdi::rgb(0, 0, 0));
    EXPECT_EQ(gdi::readPng(dir / "off.png"), gdi::Surface(240, 320, 0));
    EXPECT_EQ(pixel("again.png"), gdi::rgb(71, 71, 71));
    // The frames follow the same pictures: white, dark, black, dark again.
    ASSERT_NE(harness.frames(), nullptr);
    EXPECT_EQ(harness.frames()->written(), 4);
    EXPECT_EQ(gdi::readPng(dir / "frames" / sim::FrameRecorder::fileName(2500)).pixel(10, 10), 0u);
}

}  // namespace
}  // namespace velorin::test
