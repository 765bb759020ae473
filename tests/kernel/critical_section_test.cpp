// Critical sections and Interlocked calls: a contended section blocks in the scheduler in every
// mode (others run, virtual time moves), and neither reaches the call gate.
#include "kernel_test_support.hpp"

#include <string>
#include <vector>

namespace velorin::test {
namespace {

class CriticalSectionModes : public testing::TestWithParam<RunModeCase> {};

TEST_P(CriticalSectionModes, AWaiterBlocksInTheSchedulerUntilTheOwnerLeaves)
{
    Device device(GetParam().options());
    // In virtual time an hour passes at once while the other thread waits.
    const DWORD owned = GetParam().clock == kernel::ClockMode::Wall ? 50 : 60 * 60 * 1000;
    CRITICAL_SECTION section;
    LONG inside = 0;
    DWORD enteredAt = 0;
    auto waiter = [&] {
        EnterCriticalSection(&section);
        enteredAt = GetTickCount();
        InterlockedIncrement(&inside);
        LeaveCriticalSection(&section);
    };
    LONG whileOwned = -1, waitersWhileOwned = -1, afterLeave = -1;
    runProgram(device, [&] {
        InitializeCriticalSection(&section);
        EnterCriticalSection(&section);
        HANDLE t = startThread(waiter);
        Sleep(owned);
        whileOwned = InterlockedCompareExchange(&inside, 0, 0);
        waitersWhileOwned = InterlockedCompareExchange(&section.LockCount, 0, 0);
        LeaveCriticalSection(&section);
        WaitForSingleObject(t, INFINITE);
        afterLeave = inside;
        CloseHandle(t);
        DeleteCriticalSection(&section);
    });
    EXPECT_EQ(whileOwned, 0);
    EXPECT_EQ(waitersWhileOwned, 1);
    EXPECT_EQ(afterLeave, 1);
    // The calls around it cost a little device time with preemption.
    EXPECT_GE(enteredAt, owned);
    EXPECT_LE(enteredAt, owned + 2);
}

INSTANTIATE_TEST_SUITE_P(RunModes, CriticalSectionModes, kEveryRunMode, runModeName);

TEST(CriticalSection, AnOwnerThatEndsKeepsItAndAnEndedProcessUnwindsItsWaiters)
{
    Device device;
    CRITICAL_SECTION section;
    auto keeper = [&] { EnterCriticalSection(&section); };
    bool waiterGotIn = false;
    auto waiter = [&] {
        EnterCriticalSection(&section);
        waiterGotIn = true;
    };
    BOOL triedAfterOwnerEnded = TRUE;
    const auto pid = launch(device, [&] {
        InitializeCriticalSection(&section);
        HANDLE t = startThread(keeper);
        WaitForSingleObject(t, INFINITE);
        triedAfterOwnerEnded = TryEnterCriticalSection(&section);
        startThread(waiter);
        Sleep(100);
        return 3;  // the process ends with its waiter still blocked
    });
    EXPECT_EQ(waitForExit(device, pid), 3);
    device.runFor(1000);
    EXPECT_FALSE(triedAfterOwnerEnded);
    EXPECT_FALSE(waiterGotIn);
    std::lock_guard lock(device.kernel().mutex());
    EXPECT_FALSE(device.scheduler().hasLiveThreadsLocked(pid));
}

TEST(CriticalSection, NeitherItNorTheInterlockedCallsAreSystemCalls)
{
    // No call line, no planned fault, and with preemption no hand-over and no device time.
    Device device({.run = kernel::RunMode::Preemptive, .trace = trace::TraceLevel::All});
    device.faults().failAlways("*");
    CRITICAL_SECTION section;
    LONG counter = 0;
    PVOID slot = nullptr;
    std::vector<LONG> results;
    kernel::DeviceTime before = -1, after = -2;
    runProgram(device, [&] {
        InitializeCriticalSection(&section);
        before = device.scheduler().now();
        for (int i = 0; i < 1000; ++i) {
            EnterCriticalSection(&section);
            EnterCriticalSection(&section);
            InterlockedIncrement(&counter);
            LeaveCriticalSection(&section);
            LeaveCriticalSection(&section);
        }
        after = device.scheduler().now();
        results.push_back(TryEnterCriticalSection(&section));
        LeaveCriticalSection(&section);
        results.push_back(InterlockedCompareExchange(&counter, 7, 1000));
        results.push_back(InterlockedCompareExchange(&counter, 9, 1000));
        results.push_back(InterlockedTestExchange(&counter, 7, 8));
        results.push_back(InterlockedExchangeAdd(&counter, 2));
        results.push_back(InterlockedDecrement(&counter));
        results.push_back(InterlockedExchange(&counter, 0));
        results.push_back(InterlockedCompareExchangePointer(&slot, &counter, nullptr) == nullptr);
        results.push_back(InterlockedExchangePointer(&slot, nullptr) == &counter);
        DeleteCriticalSection(&section);
    });
    EXPECT_EQ(results, (std::vector<LONG>{TRUE, 1000, 7, 7, 8, 9, 9, TRUE, TRUE}));
    EXPECT_EQ(after, before);
    EXPECT_TRUE(device.trace().linesOf("call").empty());
    EXPECT_TRUE(device.trace().linesOf("fault").empty());
}

}  // namespace
}  // namespace velorin::test
