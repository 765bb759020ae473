// The power monitor: which notifications move the source and post a request, the percentage
// after every message, its stops, and its failures.
#include "tests/services/power_monitor_rig.hpp"

namespace velorin::test {
namespace {

constexpr Request kRequestAc{1, POWER_SOURCE_AC, POWER_SOURCE_AC};
constexpr Request kRequestBattery{1, POWER_SOURCE_BATTERY, POWER_SOURCE_BATTERY};

std::size_t callsOf(Harness& harness, std::string_view function)
{
    return linesWith(harness, " call " + std::string(function) + "(").size();
}

TEST(PowerMonitor, TheFirstNotificationIsAlwaysPostedOnAcOrBattery)
{
    {
        Harness harness(utilityOptions());
        harness.power(1, 57);  // already on AC when the monitor subscribes
        MonitorRig rig(harness);
        EXPECT_EQ(rig.requests(), (std::vector<Request>{kRequestAc}));
        EXPECT_EQ(rig.percentCell(), 57);
    }
    {
        Harness harness(utilityOptions());
        harness.power(0, 80);
        MonitorRig rig(harness);
        EXPECT_EQ(rig.requests(), (std::vector<Request>{kRequestBattery}));
        EXPECT_EQ(rig.percentCell(), 80);
    }
}

TEST(PowerMonitor, ItsQueueReadsWholeNotificationsWithNoLimitOnHowManyWait)
{
    Harness harness(utilityOptions());
    MonitorRig rig(harness);
    const HANDLE queue = g_powerQueue;
    ASSERT_NE(queue, nullptr);
    MSGQUEUEINFO info{};
    info.dwSize = sizeof info;
    ASSERT_TRUE(GetMsgQueueInfo(queue, &info));
    EXPECT_EQ(info.dwFlags, 0u) << "neither MSGQUEUE_NOPRECOMMIT nor MSGQUEUE_ALLOW_BROKEN";
    EXPECT_EQ(info.dwMaxMessages, 0u);
    EXPECT_EQ(info.cbMaxMessage, sizeof(POWER_BROADCAST) + sizeof(POWER_BROADCAST_POWER_INFO));
    EXPECT_EQ(info.cbMaxMessage, 44u);
    EXPECT_EQ(info.wNumReaders, 1u) << "the monitor's end reads";
}

TEST(PowerMonitor, EachChangeBetweenBatteryAndAcIsPostedOnceAndThePercentageFollowsEveryMessage)
{
    Harness harness(utilityOptions());
    MonitorRig rig(harness);
    harness.power(1, 40);
    harness.power(1, 41);
    EXPECT_EQ(rig.percentCell(), 41);
    harness.power(1, 42);
    harness.power(0, 42);
    harness.power(0, 41);
    harness.power(1, 41);
    EXPECT_EQ(rig.requests(), (std::vector<Request>{kRequestBattery, kRequestAc, kRequestBattery, kRequestAc}));
    EXPECT_EQ(rig.percentCell(), 41);
}

TEST(PowerMonitor, ADismissHoldsUntilTheBatteryAndTheNextChargerIsPostedAgain)
{
    Harness harness(utilityOptions());
    harness.power(1, 50);
    MonitorRig rig(harness);
    rig.post(WM_RIG_DISMISS);
    harness.power(1, 51);
    harness.power(1, 52);
    EXPECT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_DISMISSED) << "AC notifications leave a Dismiss alone";
    EXPECT_EQ(rig.percentCell(), 52);
    harness.power(0, 52);
    EXPECT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_BATTERY);
    EXPECT_EQ(LoadShared(&g_lastReportedSource), POWER_SOURCE_BATTERY);
    harness.power(1, 52);
    const Request dismissed{1, POWER_SOURCE_DISMISSED, POWER_SOURCE_AC};
    EXPECT_EQ(rig.requests(), (std::vector<Request>{kRequestAc, dismissed, kRequestAc})) << "no post for the battery";
}

TEST(PowerMonitor, OtherLineStatusesChangeNothingButThePercentage)
{
    Harness harness(utilityOptions());
    harness.power(1, 30);
    MonitorRig rig(harness);
    harness.power(2, 31);
    EXPECT_EQ(rig.percentCell(), 31);
    harness.power(255, 255);
    EXPECT_EQ(rig.percentCell(), 255) << "an unknown percentage is stored as it is";
    EXPECT_EQ(LoadShared(&g_powerSource), POWER_SOURCE_AC);
    EXPECT_EQ(rig.requests(), (std::vector<Request>{kRequestAc}));
}

TEST(PowerMonitor, WithoutTheBatteryStatusFunctionEveryPercentageIsZero)
{
    {
        Harness harness(utilityOptions());
        harness.power(1, 30);
        harness.faults().failAlways("GetProcAddressW");
        MonitorRig rig(harness);
        harness.power(1, 60);
        EXPECT_EQ(g_pfnGetSystemPowerStatusEx2, nullptr);
        EXPECT_EQ(rig.percentCell(), 0);
        EXPECT_EQ(rig.requests(), (std::vector<Request>{kRequestAc}));
    }
    {
        Harness harness(utilityOptions());
        harness.faults().failAlways("LoadLibraryW");
        MonitorRig rig(harness);
        EXPECT_EQ(callsOf(harness, "GetProcAddressW"), 0u);
        EXPECT_EQ(callsOf(harness, "FreeLibrary"), 0u);
        harness.power(0, 60);
        EXPECT_EQ(rig.percentCell(), 0);
    }
}

TEST(PowerMonitor, AFailingStatusCallStoresZero)
{
    Harness harness(utilityOptions());
    harness.faults().failAlways("GetSystemPowerStatusEx2");
    MonitorRig rig(harness);
    harness.power(1, 60);
    EXPECT_EQ(rig.percentCell(), 0);
}

// Ends, after its clean-up, without reading more.
void expectCleanEnd(Harness& harness, std::size_t reads)
{
    EXPECT_EQ(callsOf(harness, "ReadMsgQueue"), reads);
    EXPECT_EQ(linesWith(harness, "call StopPowerNotifications(").size(), 1u);
    EXPECT_EQ(linesWith(harness, "call CloseMsgQueue(").size(), 1u);
    EXPECT_EQ(g_powerQueue, nullptr);
}

TEST(PowerMonitor, AStopWakesTheWaitingMonitorWhichCleansUpAndEnds)
{
    Harness harness(utilityOptions());
    MonitorRig rig(harness);
    const auto waits = callsOf(harness, "WaitForMultipleObjects");
    rig.post(WM_RIG_STOP);
    // A call line is written when the call returns: the wait in progress, and no other.
    EXPECT_EQ(callsOf(harness, "WaitForMultipleObjects"), waits + 1) << "woken, not waiting again";
    expectCleanEnd(harness, 1);
    harness.power(1, 10);
    EXPECT_EQ(rig.requests(), (std::vector<Request>{kRequestBattery}));
}

TEST(PowerMonitor, AStopAskedForBeforeTheLoopGoesStraightToTheCleanUp)
{
    Harness harness(utilityOptions());
    MonitorRig rig(harness, {.stopFirst = true});
    EXPECT_EQ(callsOf(harness, "WaitForMultipleObjects"), 0u);
    expectCleanEnd(harness, 0);
    EXPECT_TRUE(rig.requests().empty());
}

TEST(PowerMonitor, AStopDuringAMessageFinishesThatMessageFirst)
{
    Harness harness(utilityOptions());
    MonitorRig rig(harness);
    // The window's stop lands while the monitor asks for the percentage.
    static constexpr auto stoppingStatus = [](PSYSTEM_POWER_STATUS_EX2 record, DWORD, BOOL) -> DWORD {
        StoreShared(&g_stopMonitor, 1);
        record->BatteryLifePercent = 77;
        return 1;
    };
    g_pfnGetSystemPowerStatusEx2 = stoppingStatus;
    harness.power(1, 20);
    EXPECT_EQ(rig.requests(), (std::vector<Request>{kRequestBattery, kRequestAc}));
    EXPECT_EQ(rig.percentCell(), 77);
    expectCleanEnd(harness, 2);
}

TEST(PowerMonitor, WithoutAQueueOrASubscriptionItEndsAtOnceHavingPostedNothing)
{
    {
        Harness harness(utilityOptions());
        harness.faults().failAlways("CreateMsgQueue");
        MonitorRig rig(harness);
        harness.power(1, 20);
        EXPECT_EQ(LoadShared(&g_stopMonitor), 1);
        EXPECT_EQ(callsOf(harness, "RequestPowerNotifications"), 0u);
        EXPECT_EQ(callsOf(harness, "WaitForMultipleObjects"), 0u);
        EXPECT_EQ(callsOf(harness, "CloseMsgQueue"), 0u);
        EXPECT_TRUE(rig.requests().empty());
        EXPECT_EQ(rig.percentCell(), 0);
    }
    {
        Harness harness(utilityOptions());
        harness.faults().failAlways("RequestPowerNotifications");
        MonitorRig rig(harness);
        harness.power(1, 20);
        EXPECT_EQ(LoadShared(&g_stopMonitor), 1);
        EXPECT_EQ(callsOf(harness, "WaitForMultipleObjects"), 0u);
        EXPECT_EQ(callsOf(harness, "StopPowerNotifications"), 0u);
        EXPECT_EQ(callsOf(harness, "CloseMsgQueue"), 1u);
        EXPECT_EQ(g_powerQueue, nullptr);
        EXPECT_TRUE(rig.requests().empty());
    }
}

TEST(PowerMonitor, AFailingWaitPausesInsteadOfSpinning)
{
    Harness harness(utilityOptions());
    harness.faults().failAlways("WaitForMultipleObjects");
    MonitorRig rig(harness);
    harness.runFor(10000);
    const auto waits = callsOf(harness, "WaitForMultipleObjects");
    EXPECT_GE(waits, 10u);
    EXPECT_LE(waits, 11u);
    EXPECT_EQ(callsOf(harness, "ReadMsgQueue"), 0u);
}

TEST(PowerMonitor, TheRequestsHandlerSeesTheNewSourceUnderEverySeed)
{
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        HarnessOptions options;
        options.device.seed = seed;
        Harness harness(options);
        MonitorRig rig(harness);
        for (int i = 0; i < 3; ++i) {
            harness.power(1, 50);
            harness.power(0, 50);
        }
        const auto requests = rig.requests();
        ASSERT_EQ(requests.size(), 7u) << "seed " << seed;
        for (std::size_t i = 0; i < requests.size(); ++i)
            EXPECT_EQ(requests[i], i % 2 ? kRequestAc : kRequestBattery) << "seed " << seed << " request " << i;
    }
}

}  // namespace
}  // namespace velorin::test
