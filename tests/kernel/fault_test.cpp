// Fault injection and the call lines of `--trace=all`.
#include "kernel_test_support.hpp"

#include <string>
#include <vector>

namespace velorin::test {
namespace {

TEST(Fault, FailedCallsReturnTheirFailureResultAndDoNothing)
{
    Device device;
    auto& faults = device.faults();
    faults.failNth("CreateEventW", 2);
    faults.failAlways("OpenEventW", ERROR_ACCESS_DENIED);
    faults.failWhile("SetEvent", [&] { return device.scheduler().nowLocked() < 500; });
    faults.failNth("WaitForSingleObject", 1);
    faults.failAlways("CloseHandle");

    std::vector<DWORD> errors;
    HANDLE a = nullptr, b = nullptr, c = nullptr;
    DWORD failedWait = 0, waitTook = 0, stillReset = 0, setLater = 0;
    runProgram(device, [&] {
        a = CreateEventW(nullptr, TRUE, FALSE, L"Fault/A");
        b = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        errors.push_back(GetLastError());
        c = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, L"Fault/A"), nullptr);
        errors.push_back(GetLastError());

        // A failed blocking call returns at once.
        const DWORD t = GetTickCount();
        failedWait = WaitForSingleObject(a, 1000);
        errors.push_back(GetLastError());
        waitTook = GetTickCount() - t;

        EXPECT_FALSE(SetEvent(a));
        errors.push_back(GetLastError());
        stillReset = WaitForSingleObject(a, 0);
        Sleep(500);
        setLater = SetEvent(a);
        EXPECT_FALSE(CloseHandle(c));
        errors.push_back(GetLastError());
    });
    EXPECT_NE(a, nullptr);
    EXPECT_EQ(b, nullptr);
    EXPECT_NE(c, nullptr);
    EXPECT_EQ(failedWait, WAIT_FAILED);
    EXPECT_EQ(waitTook, 0u);
    EXPECT_EQ(stillReset, WAIT_TIMEOUT);
    EXPECT_TRUE(setLater);
    EXPECT_EQ(errors, (std::vector<DWORD>{ERROR_NOT_ENOUGH_MEMORY, ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE,
                                          ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE}));
    EXPECT_EQ(faults.callCount("CreateEventW"), 3u);
    EXPECT_EQ(faults.injectedCount(), 5u);
    EXPECT_TRUE(hasLine(device, "0 fault CreateEventW"));
    EXPECT_TRUE(hasLine(device, "500 fault CloseHandle"));

    // The controller is never failed.
    HANDLE mine = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(SetEvent(mine));
    EXPECT_TRUE(CloseHandle(mine));
    EXPECT_EQ(faults.injectedCount(), 5u);
}

// Counters are found by the name's address: the same text at two addresses must still be one
// function, and counts must survive the table growing past its first size.
TEST(Fault, CallsAreCountedByNameWhereverTheNameLies)
{
    trace::FaultPlan plan;
    // Names at their own addresses, more than the table first holds.
    std::vector<std::string> names;
    for (int i = 0; i < 600; ++i)
        names.push_back("Function" + std::to_string(i));
    for (int round = 1; round <= 3; ++round)
        for (int i = 0; i < 600; i += round)
            plan.onCall(names[static_cast<std::size_t>(i)]);
    EXPECT_EQ(plan.callCount("Function0"), 3u);
    EXPECT_EQ(plan.callCount("Function1"), 1u);
    EXPECT_EQ(plan.callCount("Function2"), 2u);
    EXPECT_EQ(plan.callCount("Function6"), 3u);
    EXPECT_EQ(plan.callCount("Function599"), 1u);

    // The same text from another address counts on, and an n-th call rule sees the sum.
    const std::string copy = names[7];
    plan.failNth("Function7", 3);
    EXPECT_FALSE(plan.onCall(copy).fail);
    EXPECT_TRUE(plan.onCall(names[7]).fail);
    EXPECT_EQ(plan.callCount("Function7"), 3u);
}

TEST(Fault, TraceAllWritesACallLineForEveryProgramCall)
{
    Device device({.trace = trace::TraceLevel::All});
    CloseHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));  // the controller's calls are not traced
    HANDLE ev = nullptr;
    const auto pid = launch(device, [&] {
        ev = CreateEventW(nullptr, TRUE, FALSE, L"Ping");
        Sleep(250);
        SetEvent(ev);
        WaitForSingleObject(ev, 0);
        GetLastError();
        return 4;
    });
    waitForExit(device, pid);
    const std::string h = handleText(ev);
    const std::vector<std::string> expected = {
        "0 launch pid=" + std::to_string(pid),
        "0 call CreateEventW(NULL, 1, 0, \"Ping\") = " + h,
        "250 call Sleep(250)",
        "250 event.signal \"Ping\"",
        "250 call SetEvent(" + h + ") = 1",
        "250 call WaitForSingleObject(" + h + ", 0) = 0",
        "250 exit pid=" + std::to_string(pid) + " code=4",
    };
    EXPECT_EQ(device.trace().lines(), expected);
}

}  // namespace
}  // namespace velorin::test
