// The free mode: device threads run at the same time on the host. The assertions count; they
// never depend on an order, which is the host's to choose here.
#include "kernel_test_support.hpp"

#include <atomic>
#include <vector>

namespace velorin::test {
namespace {

DeviceOptions freeMode()
{
    DeviceOptions options;
    options.run = kernel::RunMode::Free;
    return options;
}

TEST(FreeMode, AnAutoResetEventGuardsPlainDataAcrossThreads)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 300;
    long guarded = 0;  // plain on purpose: only the event's hand-over orders the accesses
    HANDLE gate = nullptr;
    auto worker = [&] {
        for (int i = 0; i < kRounds; ++i) {
            if (WaitForSingleObject(gate, INFINITE) != WAIT_OBJECT_0)
                return DWORD{1};
            ++guarded;
            SetEvent(gate);
        }
        return DWORD{0};
    };
    Device device(freeMode());
    DWORD failures = 0;
    runProgram(device, [&] {
        gate = CreateEventW(nullptr, FALSE, TRUE, nullptr);
        HANDLE threads[kThreads];
        for (auto& t : threads)
            t = startThread(worker);
        for (HANDLE thread : threads)
            EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        for (HANDLE t : threads) {
            DWORD code = 0;
            GetExitCodeThread(t, &code);
            failures += code;
        }
    });
    EXPECT_EQ(failures, 0u);
    EXPECT_EQ(guarded, kThreads * kRounds);
}

TEST(FreeMode, InterlockedCallsAndACriticalSectionHoldAcrossHostThreads)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 2000;
    LONG counter = 0;
    LONG added = 0;
    long guarded = 0;  // plain on purpose: only the section orders the accesses
    CRITICAL_SECTION section;
    auto worker = [&] {
        for (int i = 0; i < kRounds; ++i) {
            InterlockedIncrement(&counter);
            InterlockedExchangeAdd(&added, 3);
            EnterCriticalSection(&section);
            EnterCriticalSection(&section);
            ++guarded;
            LeaveCriticalSection(&section);
            LeaveCriticalSection(&section);
        }
    };
    Device device(freeMode());
    runProgram(device, [&] {
        InitializeCriticalSection(&section);
        HANDLE threads[kThreads];
        for (auto& t : threads)
            t = startThread(worker);
        for (HANDLE thread : threads)
            EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        DeleteCriticalSection(&section);
    });
    EXPECT_EQ(counter, kThreads * kRounds);
    EXPECT_EQ(added, 3 * kThreads * kRounds);
    EXPECT_EQ(guarded, kThreads * kRounds);
}

TEST(FreeMode, ProducersAndConsumersShareABoundedQueue)
{
    constexpr int kProducers = 3;
    constexpr int kConsumers = 2;
    constexpr DWORD kPerProducer = 400;
    std::vector<HANDLE> writeEnds(kProducers);
    HANDLE readEnd = nullptr;
    std::atomic<DWORD> nextProducer{0};
    std::atomic<std::uint64_t> received{0}, sum{0};
    std::atomic<int> endedWithBrokenPipe{0};

    auto producer = [&] {
        HANDLE q = writeEnds[nextProducer.fetch_add(1)];
        for (DWORD i = 1; i <= kPerProducer; ++i) {
            if (!WriteMsgQueue(q, &i, sizeof i, INFINITE, 0))
                return DWORD{1};
        }
        CloseMsgQueue(q);
        return DWORD{0};
    };
    auto consumer = [&] {
        for (;;) {
            DWORD value = 0, read = 0, flags = 0;
            if (!ReadMsgQueue(readEnd, &value, sizeof value, &read, INFINITE, &flags)) {
                // The last writer has gone and the queue is drained.
                if (GetLastError() == ERROR_PIPE_NOT_CONNECTED)
                    endedWithBrokenPipe.fetch_add(1);
                return DWORD{0};
            }
            received.fetch_add(1);
            sum.fetch_add(value);
        }
    };
    Device device(freeMode());
    runProgram(device, [&] {
        auto readOptions = queueOptions(true, 4, sizeof(DWORD));
        readEnd = CreateMsgQueue(nullptr, &readOptions);
        auto writeOptions = queueOptions(false);
        for (auto& w : writeEnds)
            w = OpenMsgQueue(nullptr, readEnd, &writeOptions);
        std::vector<HANDLE> threads;
        for (int i = 0; i < kConsumers; ++i)
            threads.push_back(startThread(consumer));
        for (int i = 0; i < kProducers; ++i)
            threads.push_back(startThread(producer));
        for (HANDLE thread : threads)
            EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    });
    EXPECT_EQ(received.load(), kProducers * kPerProducer);
    EXPECT_EQ(sum.load(), std::uint64_t{kProducers} * kPerProducer * (kPerProducer + 1) / 2);
    EXPECT_EQ(endedWithBrokenPipe.load(), kConsumers);
}

TEST(FreeMode, ProcessEndStopsThreadsThatAreRunning)
{
    std::atomic<int> ticks{0};
    std::atomic<int> started{0};
    HANDLE ev = nullptr;
    auto worker = [&] {
        started.fetch_add(1);
        for (;;) {
            WaitForSingleObject(ev, 2);
            ticks.fetch_add(1);
        }
    };
    Device device(freeMode());
    const auto pid = launch(device, [&] {
        ev = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        for (int i = 0; i < 3; ++i)
            startThread(worker);
        while (ticks.load() < 300) {
            SetEvent(ev);
            Sleep(1);
        }
        return 9;
    });
    EXPECT_EQ(waitForExit(device, pid), 9);
    EXPECT_EQ(started.load(), 3);
    const auto exits = device.trace().linesOf("exit");
    ASSERT_EQ(exits.size(), 1u);
    EXPECT_NE(exits[0].find(" exit pid=" + std::to_string(pid) + " code=9"), std::string::npos) << exits[0];
    const int atEnd = ticks.load();
    EXPECT_GE(atEnd, 300);
    device.runFor(1000);
    EXPECT_EQ(ticks.load(), atEnd);
}

}  // namespace
}  // namespace velorin::test
