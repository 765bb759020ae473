// Waits on kernel objects: time-outs in device time, any/all semantics, refused arguments.
#include "kernel_test_support.hpp"

#include <vector>

namespace velorin::test {
namespace {

using Wait = DeviceTest;

TEST_F(Wait, TimeOutsEndAtTheirExactDeviceTime)
{
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD start = 0, afterWait = 0, afterPoll = 0, afterHour = 0, result = 0, poll = 0;
    runProgram(device, [&] {
        start = GetTickCount();
        result = WaitForSingleObject(never, 5000);
        afterWait = GetTickCount();
        poll = WaitForSingleObject(never, 0);
        afterPoll = GetTickCount();
        Sleep(60 * 60 * 1000);
        afterHour = GetTickCount();
    });
    EXPECT_EQ(result, WAIT_TIMEOUT);
    EXPECT_EQ(afterWait - start, 5000u);
    EXPECT_EQ(poll, WAIT_TIMEOUT);
    EXPECT_EQ(afterPoll, afterWait);
    EXPECT_EQ(afterHour - afterPoll, 3'600'000u);
}

TEST_F(Wait, EndsWhenSignalledBeforeItsTimeOut)
{
    HANDLE ev = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    auto setter = [&] {
        Sleep(1234);
        SetEvent(ev);
    };
    DWORD result = 0, woke = 0, threadResult = 0, threadDone = 0;
    runProgram(device, [&] {
        HANDLE t = startThread(setter);
        result = WaitForSingleObject(ev, 5000);
        woke = GetTickCount();
        // A thread handle is signalled once the thread has ended.
        threadResult = WaitForSingleObject(t, INFINITE);
        threadDone = GetTickCount();
        CloseHandle(t);
    });
    EXPECT_EQ(result, WAIT_OBJECT_0);
    EXPECT_EQ(woke, 1234u);
    EXPECT_EQ(threadResult, WAIT_OBJECT_0);
    EXPECT_EQ(threadDone, 1234u);
}

TEST_F(Wait, AnyReturnsTheLowestSignalledIndexAndTakesOnlyThatOne)
{
    HANDLE events[3] = {CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, FALSE, TRUE, nullptr),
                        CreateEventW(nullptr, FALSE, TRUE, nullptr)};
    std::vector<DWORD> results;
    runProgram(device, [&] {
        for (int i = 0; i < 3; ++i)
            results.push_back(WaitForMultipleObjects(3, events, FALSE, 0));
        SetEvent(events[0]);  // manual-reset: every wait takes it and it stays set
        results.push_back(WaitForMultipleObjects(3, events, FALSE, 0));
        results.push_back(WaitForMultipleObjects(3, events, FALSE, 0));
    });
    EXPECT_EQ(results,
              (std::vector<DWORD>{WAIT_OBJECT_0 + 1, WAIT_OBJECT_0 + 2, WAIT_TIMEOUT, WAIT_OBJECT_0, WAIT_OBJECT_0}));
}

TEST_F(Wait, WaitingForAllIsRefusedAsOnCeAndTakesNothing)
{
    // CE waits for any one object only: fWaitAll must be FALSE.
    HANDLE autoEvent = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    HANDLE manualEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    HANDLE both[2] = {autoEvent, manualEvent};
    DWORD all = 0, error = 0, autoAfter = 0;
    runProgram(device, [&] {
        all = WaitForMultipleObjects(2, both, TRUE, INFINITE);
        error = GetLastError();
        autoAfter = WaitForSingleObject(autoEvent, 0);
    });
    EXPECT_EQ(all, WAIT_FAILED);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(autoAfter, WAIT_OBJECT_0);  // the refused wait took nothing
}

TEST_F(Wait, RefusesBadHandlesAndCounts)
{
    std::vector<HANDLE> events;
    for (int i = 0; i < 65; ++i)
        events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    SetEvent(events[63]);

    const auto failsWith = [](DWORD result) { return result == WAIT_FAILED ? GetLastError() : ERROR_SUCCESS; };
    EXPECT_EQ(failsWith(WaitForMultipleObjects(0, events.data(), FALSE, 0)), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(failsWith(WaitForMultipleObjects(65, events.data(), FALSE, 0)), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForMultipleObjects(64, events.data(), FALSE, 0), WAIT_OBJECT_0 + 63);

    EXPECT_EQ(failsWith(WaitForSingleObject(nullptr, 0)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(failsWith(WaitForSingleObject(INVALID_HANDLE_VALUE, 0)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(failsWith(WaitForSingleObject(reinterpret_cast<HANDLE>(std::uintptr_t{0x7777770}), 0)),
              ERROR_INVALID_HANDLE);
    // One bad handle spoils the whole wait, even if another one is signalled.
    HANDLE mixed[2] = {events[63], nullptr};
    EXPECT_EQ(failsWith(WaitForMultipleObjects(2, mixed, FALSE, INFINITE)), ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace velorin::test
