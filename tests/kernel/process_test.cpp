// Processes: what their end does to their threads and handles; suspension of the device.
#include "kernel_test_support.hpp"

namespace velorin::test {
namespace {

TEST(Process, EndStopsItsOtherThreadsAndClosesItsHandles)
{
    int ticks = 0;
    bool unwound = false;
    DWORD unwoundCall = 0;
    struct OnUnwind {
        bool& unwound;
        DWORD& result;
        // A dying thread's destructors may still call in; such calls must neither block nor run.
        ~OnUnwind()
        {
            result = WaitForSingleObject(nullptr, INFINITE);
            unwound = true;
        }
    };
    auto worker = [&] {
        OnUnwind guard{unwound, unwoundCall};
        for (;;) {
            Sleep(100);
            ++ticks;
        }
    };
    HANDLE named = nullptr, thread = nullptr;
    DWORD stillActive = 0;
    Device device;
    const auto pid = launch(device, [&] {
        named = CreateEventW(nullptr, TRUE, FALSE, L"Process/Owned");
        thread = startThread(worker);
        GetExitCodeThread(thread, &stillActive);
        Sleep(1050);
        return 3;
    });
    EXPECT_EQ(waitForExit(device, pid), 3);
    EXPECT_EQ(device.exitCode(pid), 3);
    EXPECT_EQ(stillActive, STILL_ACTIVE);
    EXPECT_TRUE(hasLine(device, "1050 exit pid=" + std::to_string(pid) + " code=3"));
    EXPECT_EQ(ticks, 10);
    EXPECT_TRUE(unwound);
    EXPECT_EQ(unwoundCall, WAIT_FAILED);
    device.runFor(10'000);
    EXPECT_EQ(ticks, 10);

    EXPECT_EQ(WaitForSingleObject(named, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(thread));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, L"Process/Owned"), nullptr);
}

TEST(Process, AnEndThatFindsAThreadInADestructorEndsTheThreadNotTheHost)
{
    // Every call of this thread is made from a destructor, where the unwinding that ends a
    // thread cannot pass.
    struct Polls {
        ~Polls()
        {
            GetTickCount();
            GetTickCount();
        }
    };
    auto poller = [] {
        for (;;)
            Polls polls;
    };
    for (const auto mode : {kernel::RunMode::Serial, kernel::RunMode::Preemptive}) {
        Device device({.run = mode});
        const auto pid = launch(device, [&] {
            CloseHandle(startThread(poller));
            Sleep(50);
            return 3;
        });
        EXPECT_EQ(waitForExit(device, pid), 3);
        device.runFor(1000);
        EXPECT_FALSE(device.running(pid));
    }
}

TEST(Process, SuspensionFreezesProgramThreadsWhileTimeMoves)
{
    int programTicks = 0, systemTicks = 0;
    Device device;
    launch(device, [&] {
        for (;;) {
            Sleep(100);
            ++programTicks;
        }
    });
    device.kernel().spawnSystemThread("system", [&] {
        for (;;) {
            Sleep(100);
            ++systemTicks;
        }
    });
    device.runFor(1000);
    EXPECT_EQ(programTicks, 10);
    device.setSuspended(true);
    device.runFor(5000);
    EXPECT_EQ(device.now(), 6000);
    EXPECT_EQ(programTicks, 10);
    EXPECT_EQ(systemTicks, 60);
    EXPECT_EQ(GetTickCount(), 6000u);  // the controller is never frozen
    device.setSuspended(false);
    device.runFor(1000);
    // The sleep that ran out while frozen ends at the thaw, then the loop goes on as before.
    EXPECT_EQ(programTicks, 21);
}

}  // namespace
}  // namespace velorin::test
