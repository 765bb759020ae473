// Events: auto and manual reset, pulses, names shared between processes.
#include "kernel_test_support.hpp"

#include <vector>

namespace velorin::test {
namespace {

using Event = DeviceTest;

// Three program threads block on one event; `released` counts those that got through.
class EventWaiters : public ::testing::Test {
protected:
    void start(BOOL manualReset)
    {
        ev = CreateEventW(nullptr, manualReset, FALSE, nullptr);
        launch(device, [this] {
            HANDLE threads[3];
            for (auto& t : threads)
                t = startThread(waiter);
            for (HANDLE thread : threads)
                WaitForSingleObject(thread, INFINITE);
        });
        device.settle();
    }
    // Whether a wait of the controller would find the event set now (consumes an auto-reset one).
    bool isSet() { return WaitForSingleObject(ev, 0) == WAIT_OBJECT_0; }

    int released = 0;
    HANDLE ev = nullptr;
    std::function<void()> waiter = [this] {
        if (WaitForSingleObject(ev, INFINITE) == WAIT_OBJECT_0)
            ++released;
    };
    Device device;  // last: its threads stop before the members they use go
};

TEST_F(EventWaiters, AutoResetReleasesOneWaiterPerSet)
{
    start(FALSE);
    EXPECT_EQ(released, 0);
    SetEvent(ev);
    device.settle();
    EXPECT_EQ(released, 1);
    EXPECT_FALSE(isSet());
    // Each set releases a waiter at once, as on the device, even before any of them has run.
    SetEvent(ev);
    SetEvent(ev);
    device.settle();
    EXPECT_EQ(released, 3);
    EXPECT_FALSE(isSet());
    SetEvent(ev);
    EXPECT_TRUE(isSet());
    EXPECT_FALSE(isSet());
}

TEST_F(EventWaiters, ManualResetReleasesEveryWaiterAndStaysSet)
{
    start(TRUE);
    EXPECT_TRUE(EventModify(ev, EVENT_SET));
    device.settle();
    EXPECT_EQ(released, 3);
    EXPECT_TRUE(isSet());
    EXPECT_TRUE(isSet());
    ResetEvent(ev);
    EXPECT_FALSE(isSet());
}

TEST_F(EventWaiters, ManualResetPulseReleasesEveryWaiterAndLeavesItReset)
{
    start(TRUE);
    EXPECT_TRUE(PulseEvent(ev));
    EXPECT_FALSE(isSet());
    device.settle();
    EXPECT_EQ(released, 3);
    EXPECT_FALSE(isSet());
}

TEST_F(EventWaiters, AutoResetPulseReleasesOneWaiterEachAndLeavesItReset)
{
    start(FALSE);
    EXPECT_TRUE(EventModify(ev, EVENT_PULSE));
    device.settle();
    EXPECT_EQ(released, 1);
    EXPECT_FALSE(isSet());
    EXPECT_TRUE(PulseEvent(ev));
    EXPECT_TRUE(PulseEvent(ev));
    device.settle();
    EXPECT_EQ(released, 3);
    // With nobody waiting a pulse is lost.
    EXPECT_TRUE(PulseEvent(ev));
    EXPECT_FALSE(isSet());
}

TEST_F(EventWaiters, SetAndResetAtOnceStillReleasesTheWaitersOfThatMoment)
{
    start(TRUE);
    SetEvent(ev);
    ResetEvent(ev);
    device.settle();
    EXPECT_EQ(released, 3);
    EXPECT_FALSE(isSet());
}

TEST_F(Event, NamedEventIsSharedBetweenProcesses)
{
    DWORD waited = 0, woke = 0, createError = 0, openError = 0;
    const auto pidA = launch(device, [&] {
        HANDLE ev = CreateEventW(nullptr, TRUE, FALSE, L"Shared/Ready");
        waited = WaitForSingleObject(ev, INFINITE);
        woke = GetTickCount();
        CloseHandle(ev);
    });
    const auto pidB = launch(device, [&] {
        Sleep(700);
        HANDLE unknown = OpenEventW(EVENT_ALL_ACCESS, FALSE, L"Shared/Missing");
        openError = unknown ? ERROR_SUCCESS : GetLastError();
        // A second create opens the existing event; it keeps its own manual-reset type.
        HANDLE again = CreateEventW(nullptr, FALSE, FALSE, L"Shared/Ready");
        createError = GetLastError();
        HANDLE opened = OpenEventW(EVENT_ALL_ACCESS, FALSE, L"Shared/Ready");
        SetEvent(opened);
        Sleep(10);
        return WaitForSingleObject(again, 0) == WAIT_OBJECT_0 ? 1 : 0;
    });
    EXPECT_EQ(waitForExit(device, pidB), 1);
    waitForExit(device, pidA);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(woke, 700u);
    EXPECT_EQ(createError, ERROR_ALREADY_EXISTS);
    EXPECT_EQ(openError, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(hasLine(device, "700 event.signal \"Shared/Ready\""));
    // Once every handle is gone, so is the name.
    EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, L"Shared/Ready"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(Event, RefusesAnUnknownOperation)
{
    HANDLE ev = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FALSE(EventModify(ev, 7));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_TIMEOUT);
}

}  // namespace
}  // namespace velorin::test
