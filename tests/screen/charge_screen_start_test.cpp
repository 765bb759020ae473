// The charging screen's start and end: the window it makes, what it reads and in which order,
// the keys, and the start that a missing bitmap cuts short.
#include "services/power_source.h"
#include "services/saved_settings.h"
#include "screen/charge_screen_messages.h"
#include "tests/support/utility_test_support.hpp"

namespace velorin::test {
namespace {

class ChargeScreenStart : public ::testing::Test {
protected:
    ChargeScreenStart() : harness(utilityOptions()) { refusePowerNews(harness); }

    // Launches the utility and lets it run `ms` of device time.
    HWND start(sim::DeviceTime ms = 10)
    {
        harness.launch();
        harness.runFor(ms);
        const auto window = harness.mainWindow();
        EXPECT_TRUE(window);
        return window.value_or(nullptr);
    }

    Harness harness;
};

TEST_F(ChargeScreenStart, OpensATopmostWindowOf600By600AtTheOriginTitledVelorin)
{
    const HWND window = start();
    EXPECT_TRUE(harness.windowVisible(window));
    EXPECT_EQ(linesWith(harness, " window."),
              (Lines{"0 window.title hwnd=0x10000 \"Velorin\"", "0 window.topmost hwnd=0x10000",
                     "0 window.show hwnd=0x10000", "0 window.foreground hwnd=0x10000"}));
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 600);
    EXPECT_EQ(rect.bottom, 600);
    // The percentage cell is 0 before the monitor starts.
    const long cleared = firstLineWith(harness, "call SetWindowLongPtrW(0x10000, -21, 0) = 0");
    EXPECT_GT(cleared, firstLineWith(harness, "call SetWindowPos("));
    EXPECT_LT(cleared, firstLineWith(harness, "call CreateThread("));
}

TEST_F(ChargeScreenStart, TheRecordStartsAtItsStartValuesWithItsBitmapsAttached)
{
    start();
    const CChargeScreenDlg* screen = chargeScreen(harness);
    ASSERT_NE(screen, nullptr);
    EXPECT_NE(screen->m_hIcon, nullptr);
    {
        // The window's big and small icon are both the record's.
        const HWND window = *harness.mainWindow();
        std::lock_guard lock(harness.device().kernel().mutex());
        const window::Window* record = harness.device().windows().findLocked(window);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->iconBig, screen->m_hIcon);
        EXPECT_EQ(record->iconSmall, screen->m_hIcon);
    }
    EXPECT_EQ(screen->m_fillStep, 0);
    EXPECT_EQ(screen->m_levelTenths, 0);
    EXPECT_EQ(screen->m_lastPercentDrawn, 255);
    EXPECT_EQ(screen->m_drawingEnabled, TRUE);
    EXPECT_EQ(screen->m_blinkOn, FALSE);
    EXPECT_TRUE(IsRectEmpty(&screen->m_symbolRect));
    EXPECT_TRUE(IsRectEmpty(&screen->m_percentRect));
    EXPECT_EQ(screen->m_fullDrawn, FALSE);
    for (const CBitmap* bitmap : {&screen->m_bmpBatteryFull, &screen->m_bmpBatteryEmpty, &screen->m_bmpChargeSymbol,
                                  &screen->m_bmpGauge, &screen->m_bmpDigits})
        EXPECT_NE(bitmap->GetSafeHandle(), nullptr);
    EXPECT_EQ(screen->m_platformKind, 0) << "the default device is a \"522\"";
    EXPECT_EQ(screen->m_pendingRuns, 0);
    EXPECT_EQ(screen->m_currentStep, SEQ_IDLE);
    EXPECT_EQ(screen->m_firstRun, TRUE);
    EXPECT_EQ(screen->m_settingsReloadAllowed, TRUE);
}

TEST_F(ChargeScreenStart, ReadsThePlatformThenRotationThenBacklightAndHoldsTheIdentityKeyToTheEnd)
{
    harness.setRegistryValue(Root::LocalMachine, L"Ident", registry::stringValue(L"PlatformID", L"511"));
    start();
    EXPECT_EQ(chargeScreen(harness)->m_platformKind, 2);
    EXPECT_EQ(g_savedAutoRotate, 0x80000001u);
    EXPECT_EQ(g_savedAngle, 0u);
    EXPECT_EQ(g_savedBatteryBacklightLevel, 5);
    EXPECT_EQ(g_savedAcBacklightLevel, 8);
    EXPECT_EQ(g_savedUseDim, 1u);

    const long identity = firstLineWith(harness, "\"PlatformID\"");
    const long bitmaps = firstLineWith(harness, "call LoadBitmapW(");
    const long shown = firstLineWith(harness, "call SetWindowPos(0x10000, 0xFFFFFFFFFFFFFFFF, 0, 0, 600, 600, 66) = 1");
    const long rotation = firstLineWith(harness, "\"System\\\\GDI\\\\Rotation\"");
    const long backlight = firstLineWith(harness, "\"ControlPanel\\\\BackLight\"");
    const long timers = firstLineWith(harness, "call SetTimer(");
    EXPECT_TRUE(0 < identity && identity < bitmaps && bitmaps < shown && shown < rotation && rotation < backlight &&
                backlight < timers)
        << identity << " " << bitmaps << " " << shown << " " << rotation << " " << backlight << " " << timers;
    std::vector<int> loaded;
    for (const auto& line : linesWith(harness, "call LoadBitmapW("))
        loaded.push_back(std::stoi(line.substr(line.find(", ") + 2)));
    EXPECT_EQ(loaded, (std::vector<int>{131, 130, 132, 133, 134}));
    // The identity key is closed when the initialisation ends, after the timers have started.
    const std::string query = traceLines(harness)[static_cast<std::size_t>(identity)];
    const std::string key = query.substr(query.find('(') + 1, query.find(',') - query.find('(') - 1);
    EXPECT_GT(firstLineWith(harness, "call RegCloseKey(" + key + ")"),
              firstLineWith(harness, "call SetTimer(0x10000, 4"));
}

TEST_F(ChargeScreenStart, PaintsTheWholeScreenBlackWithAScopedBrush)
{
    start();
    const gdi::Surface screen = harness.screen();
    for (const POINT p : {POINT{0, 0}, POINT{120, 160}, POINT{239, 319}})
        EXPECT_EQ(screen.pixel(p.x, p.y), 0u) << p.x << "," << p.y;
    EXPECT_EQ(linesWith(harness, "call Rectangle("), (Lines{"0 call Rectangle(0x20000048, 0, 0, 240, 320) = 1"}));
    EXPECT_EQ(linesWith(harness, "call CreateSolidBrush(0)").size(), 1u);
    EXPECT_EQ(harness.device().gdi().liveObjects(), 5u) << "the five bitmaps, and no brush left behind";
}

TEST_F(ChargeScreenStart, EnterDoesNothingAndEscEndsTheRunWithoutRestoringAnything)
{
    const HWND window = start();
    harness.key(VK_RETURN);
    EXPECT_TRUE(harness.programRunning());
    EXPECT_TRUE(harness.windowVisible(window));

    harness.key(VK_ESCAPE);
    EXPECT_FALSE(harness.programRunning());
    EXPECT_EQ(harness.lastEnded()->exitCode, 0);
    EXPECT_FALSE(harness.mainWindow());
    EXPECT_EQ(LoadShared(&g_stopMonitor), 1);
    EXPECT_EQ(linesWith(harness, "call EventModify(0x100004, 3) = 1").size(), 1u) << "the stop event is set";
    EXPECT_TRUE(linesWith(harness, "reg.set").empty());
    EXPECT_TRUE(linesWith(harness, "call RegSetValueExW(").empty());
    EXPECT_TRUE(linesWith(harness, "gdi.leak").empty());
}

TEST_F(ChargeScreenStart, AMissingBitmapEndsTheStartBeforeAnySettingIsReadAndFreesTheOthers)
{
    harness.faults().failNth("LoadBitmapW", 4);  // bitmap 133, after 131, 130 and 132
    harness.launch();
    harness.runFor(10);

    EXPECT_FALSE(harness.programRunning());
    EXPECT_EQ(harness.lastEnded()->exitCode, 0);
    EXPECT_TRUE(linesWith(harness, " window.show").empty());
    EXPECT_TRUE(linesWith(harness, "Rotation").empty());
    EXPECT_TRUE(linesWith(harness, "BackLight").empty());
    EXPECT_TRUE(linesWith(harness, "call SetWindowPos(").empty());
    EXPECT_TRUE(linesWith(harness, "call SetTimer(").empty());
    EXPECT_TRUE(linesWith(harness, "call CreateEventW(").empty());
    EXPECT_TRUE(linesWith(harness, "call EventModify(").empty()) << "no stop event to set yet";
    EXPECT_EQ(LoadShared(&g_stopMonitor), 1);
    EXPECT_TRUE(linesWith(harness, ", 134) = ").empty()) << "bitmap 134 is not asked for";
    // The three loaded are freed with the window object, the last loaded first.
    EXPECT_EQ(linesWith(harness, "call DeleteObject("),
              (Lines{"0 call DeleteObject(0x20000038) = 1", "0 call DeleteObject(0x20000030) = 1",
                     "0 call DeleteObject(0x20000034) = 1"}));
    EXPECT_TRUE(linesWith(harness, "gdi.leak").empty());
    EXPECT_EQ(harness.device().gdi().liveObjects(), 0u);
}

}  // namespace
}  // namespace velorin::test
