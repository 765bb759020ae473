// Turning the display through ChangeDisplaySettingsEx: what programs then see, what the
// registry records, who hears of it, and what is refused without changing anything.
#include "display_test_support.hpp"

#include <algorithm>

namespace velorin::test {
namespace {

std::optional<DWORD> angle(Device& device)
{
    std::lock_guard lock(device.kernel().mutex());
    const auto value = device.registry().valueLocked(registry::Root::LocalMachine, L"System\\GDI\\Rotation", L"Angle");
    return value ? registry::dwordOf(*value) : std::nullopt;
}

std::string angleLine(int degrees)
{
    return "0 reg.set HKLM\\System\\GDI\\Rotation Angle dword:" + std::to_string(degrees);
}

class Rotation : public ::testing::Test {
protected:
    void SetUp() override { takeHeard(); }
};

TEST_F(Rotation, MetricsSwapSidewaysAndTheAngleIsRecordedInDegrees)
{
    // A portrait panel and a landscape one: the sides swap from whatever the panel is.
    for (const auto& [width, height] : {std::pair{240, 320}, std::pair{400, 240}}) {
        Device device(platform::DeviceOptions{.screenWidth = width, .screenHeight = height});
        Lines seen;
        launch(device, [&] {
            for (DWORD code : {DMDO_90, DMDO_180, DMDO_270, DMDO_0, DMDO_270}) {
                const LONG result = turn(code);
                seen.push_back(std::to_string(result) + " " + screenSize());
            }
        });
        device.runFor(10);
        const std::string upright = "0 " + std::to_string(width) + "x" + std::to_string(height);
        const std::string sideways = "0 " + std::to_string(height) + "x" + std::to_string(width);
        EXPECT_EQ(seen, (Lines{sideways, upright, sideways, upright, sideways}));
        EXPECT_EQ(eventsOf(device, {"display.orientation", "reg.set"}),
                  (Lines{"0 display.orientation 1 result=0", angleLine(90), "0 display.orientation 2 result=0",
                         angleLine(180), "0 display.orientation 4 result=0", angleLine(270),
                         "0 display.orientation 0 result=0", angleLine(0), "0 display.orientation 4 result=0",
                         angleLine(270)}));
        EXPECT_EQ(angle(device), 270u);
        const gdi::Surface screen = device.windows().composeScreen();
        EXPECT_EQ(std::pair(screen.width(), screen.height()), std::pair(height, width));
    }
}

TEST_F(Rotation, EveryTopLevelWindowOfEveryProgramHearsOfItBeforeTheCallReturnsAndRepaints)
{
    Device device;
    static HWND s_hidden;
    launch(
        device,
        [] {
            createRecorder(L"B-shown", true);
            s_hidden = createRecorder(L"B-hidden", false);
            pumpForever();
        },
        "other");
    launch(device, [] {
        createRecorder(L"A", true);
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            hear("A's call returned " + std::to_string(turn(DMDO_270)));
        });
        pumpForever();
    });
    device.runFor(150);
    const Lines heard = takeHeard();
    const auto returned = std::find(heard.begin(), heard.end(), "A's call returned 0");
    ASSERT_NE(returned, heard.end()) << ::testing::PrintToString(heard);
    // Sent, not posted: each window had handled it, at the new size, when the call returned.
    const std::string change = " WM_SETTINGCHANGE 0x3002 0 320x240";
    Lines changes;
    std::copy_if(heard.begin(), returned, std::back_inserter(changes),
                 [](const std::string& line) { return line.find("WM_SETTINGCHANGE") != std::string::npos; });
    std::sort(changes.begin(), changes.end());
    EXPECT_EQ(changes, (Lines{"A" + change, "B-hidden" + change, "B-shown" + change}));
    // The shown windows erase and paint again (another thread's window perhaps before its
    // message arrives: all were made invalid at once); the hidden one stays invalid.
    Lines rest = heard;
    std::erase_if(rest, [](const std::string& line) { return line.find("WM_SETTINGCHANGE") != std::string::npos; });
    std::erase(rest, *returned);
    std::sort(rest.begin(), rest.end());
    EXPECT_EQ(rest, (Lines{"A WM_ERASEBKGND", "A WM_PAINT", "B-shown WM_ERASEBKGND", "B-shown WM_PAINT"}));
    std::lock_guard lock(device.kernel().mutex());
    EXPECT_TRUE(device.windows().findLocked(s_hidden)->invalid.has_value());
}

TEST_F(Rotation, AWindowOfAnotherThreadMaySendBackWhileTheCallerWaits)
{
    // The caller waits for the worker's window, whose handler sends to the caller's window: the
    // caller must answer meanwhile, and nobody may hold the kernel lock across a send.
    Device device;
    static HWND s_main;
    static std::string s_reply;
    static constexpr WNDPROC workerProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_SETTINGCHANGE)
            s_reply = std::to_string(SendMessageW(s_main, WM_USER, 0, 0)) + " at " + screenSize();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    };
    static constexpr WNDPROC mainProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return message == WM_USER ? 42 : DefWindowProcW(hwnd, message, wParam, lParam);
    };
    LONG result = 1;
    launch(device, [&] {
        s_main = createRecorder(L"Main", true, mainProc);
        const auto worker = [](LPVOID) -> DWORD {
            createRecorder(L"Worker", true, workerProc);
            pumpForever();
            return 0;
        };
        CloseHandle(CreateThread(nullptr, 0, worker, nullptr, 0, nullptr));
        Sleep(10);
        result = turn(DMDO_90);
    });
    device.runFor(100);
    EXPECT_EQ(result, DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(s_reply, "42 at 320x240");
}

TEST_F(Rotation, RefusedAndFailedCallsChangeNothingAndAttemptsAreTracedWithTheirResult)
{
    Device device;
    device.faults().failNth("ChangeDisplaySettingsEx", 1);
    std::vector<LONG> results;
    launch(device, [&] {
        createRecorder(L"W", true);
        results.push_back(turn(DMDO_90));  // the fault plan fails this one
        for (DWORD code : {3u, 8u, 90u, 0xFFFFFFFFu})
            results.push_back(turn(code));
        DEVMODEW deviceSized = orientationRecord(DMDO_90);
        deviceSized.dmSize = 192;  // the record's size with a 2-byte WCHAR, not with this one
        results.push_back(ChangeDisplaySettingsEx(nullptr, &deviceSized, nullptr, CDS_RESET, nullptr));
        results.push_back(ChangeDisplaySettingsEx(nullptr, nullptr, nullptr, CDS_RESET, nullptr));
        results.push_back(turn(DMDO_90, CDS_RESET | 0x4));
        DEVMODEW nothingAsked = orientationRecord(DMDO_90, 0);
        results.push_back(ChangeDisplaySettingsEx(nullptr, &nothingAsked, nullptr, CDS_RESET, nullptr));
        drain();  // a message or an invalid window would be heard here
    });
    device.runFor(10);
    EXPECT_EQ(results, (std::vector<LONG>{DISP_CHANGE_FAILED, DISP_CHANGE_BADMODE, DISP_CHANGE_BADMODE,
                                          DISP_CHANGE_BADMODE, DISP_CHANGE_BADMODE, DISP_CHANGE_BADPARAM,
                                          DISP_CHANGE_BADPARAM, DISP_CHANGE_BADFLAGS, DISP_CHANGE_BADMODE}));
    // Only the records that asked to turn the display are attempts.
    EXPECT_EQ(eventsOf(device, {"fault", "display.orientation", "reg.set", "reg.create"}),
              (Lines{"0 fault ChangeDisplaySettingsEx", "0 display.orientation 1 result=-1",
                     "0 display.orientation 3 result=-2", "0 display.orientation 8 result=-2",
                     "0 display.orientation 90 result=-2", "0 display.orientation 4294967295 result=-2",
                     "0 display.orientation 1 result=-5", "0 display.orientation 1 result=-4"}));
    EXPECT_EQ(device.display().orientation(), display::kOrientation0);
    EXPECT_EQ(takeHeard(), Lines{});
    EXPECT_EQ(angle(device), std::nullopt);
}

TEST_F(Rotation, TestAndQueryReportWithoutTurning)
{
    Device device;
    std::vector<DWORD> seen;
    launch(device, [&] {
        DEVMODEW query = orientationRecord(DMDO_0, DM_DISPLAYQUERYORIENTATION);
        seen.push_back(static_cast<DWORD>(ChangeDisplaySettingsEx(nullptr, &query, nullptr, CDS_TEST, nullptr)));
        seen.push_back(query.dmDisplayOrientation);
        turn(DMDO_270);
        createRecorder(L"W", true);
        DEVMODEW test = orientationRecord(DMDO_90);
        seen.push_back(static_cast<DWORD>(ChangeDisplaySettingsEx(nullptr, &test, nullptr, CDS_TEST, nullptr)));
        seen.push_back(test.dmDisplayOrientation);
        drain();
    });
    device.runFor(10);
    EXPECT_EQ(seen, (std::vector<DWORD>{0, DMDO_0 | DMDO_90 | DMDO_180 | DMDO_270, 0, DMDO_270}));
    EXPECT_EQ(device.display().orientation(), display::kOrientation270);
    EXPECT_EQ(eventsOf(device, {"display.orientation"}), Lines{"0 display.orientation 4 result=0"});
    EXPECT_EQ(takeHeard(), Lines{});
}

}  // namespace
}  // namespace velorin::test
