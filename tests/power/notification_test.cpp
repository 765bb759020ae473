// Power notifications: the messages as bytes in a real queue, one per report and subscriber,
// the one a new subscriber gets at once, the end of a subscription, and queues that cannot
// take a message.
#include "power_test_support.hpp"

namespace velorin::test {
namespace {

class Notifications : public DeviceTest {
protected:
    void SetUp() override { takeHeard(); }
};

TEST_F(Notifications, AMessageIsTheDevicesRecordsByteForByte)
{
    report(device, AC_LINE_ONLINE, 57);
    Bytes message;
    launch(device, [&] {
        HANDLE queue = makeQueue();
        ASSERT_NE(RequestPowerNotifications(queue, PBT_POWERINFOCHANGE), nullptr);
        message = readMessage(queue).value_or(Bytes{});
        // Read through the records too, as a program that does not count bytes would.
        ASSERT_EQ(message.size(), kMessageSize);
        const auto* broadcast = reinterpret_cast<const POWER_BROADCAST*>(message.data());
        const auto* info = reinterpret_cast<const POWER_BROADCAST_POWER_INFO*>(broadcast->SystemPowerState);
        EXPECT_EQ(info->bACLineStatus, AC_LINE_ONLINE);
        EXPECT_EQ(info->bBatteryLifePercent, 57);
    });
    device.runFor(10);
    const Bytes unknown4{0xFF, 0xFF, 0xFF, 0xFF};
    Bytes expected;
    for (DWORD word : {PBT_POWERINFOCHANGE, DWORD{0}, DWORD{28}, DWORD{3}})  // type, flags, length, levels
        for (int shift = 0; shift < 32; shift += 8)
            expected.push_back(static_cast<BYTE>(word >> shift));
    for (int lifetime = 0; lifetime < 4; ++lifetime)  // battery and backup life times: not known
        expected.insert(expected.end(), unknown4.begin(), unknown4.end());
    // Line status at byte 32, then the flags (charging, between low and high), the percentage,
    // and the backup battery, which the device does not have; the rest is zero.
    expected.insert(expected.end(), {AC_LINE_ONLINE, BATTERY_FLAG_CHARGING, 57, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(message, expected);
}

TEST_F(Notifications, EveryReportReachesEverySubscriberOnceAndANewOneHearsAtOnce)
{
    launch(device, [] { listen("A"); });
    launch(device, [] { listen("B"); });
    device.runFor(10);
    EXPECT_EQ(takeHeard(), (Lines{"A ac=0 percent=100", "B ac=0 percent=100"}));

    report(device, AC_LINE_ONLINE, std::nullopt);
    report(device, std::nullopt, 57);
    report(device, std::nullopt, 57);  // nothing changed, and it is still a report
    device.runFor(10);
    Lines heard = takeHeard();
    std::stable_sort(heard.begin(), heard.end());  // each program in its own order
    EXPECT_EQ(heard, (Lines{"A ac=1 percent=100", "A ac=1 percent=57", "A ac=1 percent=57", "B ac=1 percent=100",
                            "B ac=1 percent=57", "B ac=1 percent=57"}));

    // A late subscriber learns only the present state, at once.
    launch(device, [] { listen("C"); });
    device.runFor(10);
    EXPECT_EQ(takeHeard(), Lines{"C ac=1 percent=57"});
    EXPECT_EQ(
        device.trace().linesOf("power.info"),
        (Lines{"10 power.info ac=1 percent=100", "10 power.info ac=1 percent=57", "10 power.info ac=1 percent=57"}));
}

TEST_F(Notifications, StopEndsTheMessagesAndTheQueueLosesThePowerManagersWriter)
{
    HANDLE queue = nullptr;
    HANDLE subscription = nullptr;
    const auto writers = [&] {
        MSGQUEUEINFO info{};
        info.dwSize = sizeof info;
        GetMsgQueueInfo(queue, &info);
        return info.wNumWriters;
    };
    launch(device, [&] {
        queue = makeQueue();
        subscription = RequestPowerNotifications(queue, POWER_NOTIFY_ALL);
        EXPECT_EQ(writers(), 1);
        EXPECT_TRUE(readMessage(queue));
        Sleep(100);  // a report comes at 50
        EXPECT_TRUE(readMessage(queue));
        EXPECT_TRUE(StopPowerNotifications(subscription));
        EXPECT_EQ(writers(), 0);
        EXPECT_FALSE(StopPowerNotifications(subscription));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        Sleep(100);  // another at 150
        EXPECT_FALSE(readMessage(queue));
        EXPECT_EQ(GetLastError(), ERROR_PIPE_NOT_CONNECTED);
        hear("done");
    });
    device.runUntil(50);
    report(device, std::nullopt, 40);
    device.runUntil(150);
    report(device, std::nullopt, 30);
    device.runUntil(300);
    EXPECT_EQ(takeHeard(), Lines{"done"});
}

TEST_F(Notifications, QueuesThatCannotTakeAMessageLoseItWithoutHoldingUpTheDriver)
{
    launch(device, [] { listen("open"); });
    launch(device, [] {
        HANDLE full = makeQueue(1);  // the message of the subscription fills it
        RequestPowerNotifications(full, PBT_POWERINFOCHANGE);
        HANDLE small = makeQueue(0, kMessageSize - 4);
        RequestPowerNotifications(small, PBT_POWERINFOCHANGE);
        HANDLE closed = makeQueue();
        RequestPowerNotifications(closed, PBT_POWERINFOCHANGE);
        CloseMsgQueue(closed);  // the subscription outlives its reader
        Sleep(100);             // two reports meanwhile
        while (const auto message = readMessage(full))
            hear("full " + infoOf(*message));
        hear(readMessage(small) ? "small got one" : "small got none");
        Sleep(100);  // one more
        while (const auto message = readMessage(full))
            hear("full " + infoOf(*message));
    });
    device.runUntil(50);
    report(device, std::nullopt, 90);
    report(device, std::nullopt, 80);
    device.runUntil(150);
    report(device, std::nullopt, 70);
    device.runUntil(300);
    EXPECT_EQ(takeHeard(),
              (Lines{"open ac=0 percent=100", "open ac=0 percent=90", "open ac=0 percent=80", "full ac=0 percent=100",
                     "small got none", "open ac=0 percent=70", "full ac=0 percent=70"}));
}

TEST_F(Notifications, TheEndOfAProcessEndsItsSubscriptions)
{
    // Two programs read one named queue; only the first subscribes, and then it ends.
    const auto shared = [] {
        MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), 0, 0, kMessageSize, TRUE};
        return CreateMsgQueue(L"shared", &options);
    };
    launch(device, [&] {
        HANDLE queue = shared();
        for (;;) {
            WaitForSingleObject(queue, INFINITE);
            while (const auto message = readMessage(queue))
                hear("at " + std::to_string(GetTickCount()) + " " + infoOf(*message));
        }
    });
    launch(device, [&] {
        RequestPowerNotifications(shared(), PBT_POWERINFOCHANGE);
        Sleep(100);
    });
    device.runUntil(50);
    report(device, std::nullopt, 40);
    device.runUntil(150);
    report(device, std::nullopt, 30);
    device.runUntil(200);
    EXPECT_EQ(takeHeard(), (Lines{"at 0 ac=0 percent=100", "at 50 ac=0 percent=40"}));
}

TEST_F(Notifications, RefusedSubscriptionsAndTypesWithoutPowerInformation)
{
    launch(device, [] {
        HANDLE queue = makeQueue();
        const auto refusal = [](HANDLE h, DWORD types) {
            SetLastError(0);
            const bool refused = RequestPowerNotifications(h, types) == nullptr;
            return std::to_string(refused) + " " + std::to_string(GetLastError());
        };
        hear("null " + refusal(nullptr, PBT_POWERINFOCHANGE));
        hear("event " + refusal(CreateEventW(nullptr, FALSE, FALSE, nullptr), PBT_POWERINFOCHANGE));
        hear("no types " + refusal(queue, 0));
        // Subscribed, but to types this device never sends: no message.
        EXPECT_NE(RequestPowerNotifications(queue, PBT_TRANSITION | PBT_RESUME), nullptr);
        hear(readMessage(queue) ? "a message" : "no message");
    });
    device.runFor(10);
    report(device, AC_LINE_ONLINE, std::nullopt);
    EXPECT_EQ(takeHeard(), (Lines{"null 1 6", "event 1 6", "no types 1 87", "no message"}));
}

}  // namespace
}  // namespace velorin::test
