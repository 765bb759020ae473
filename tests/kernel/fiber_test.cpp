// Fibers, and the serial modes' device threads that run as fibers on one host thread: each keeps
// its own stack, last error and exception state, whoever runs between its steps.
#include "kernel/fiber.hpp"
#include "kernel_test_support.hpp"

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace velorin::test {
namespace {

using kernel::Fiber;

struct PingPong {
    Fiber host;
    std::unique_ptr<Fiber> worker;
    std::vector<std::string> log;
};

void pingPongEntry(void* argument)
{
    auto& p = *static_cast<PingPong*>(argument);
    int counted = 0;  // lives on the fiber's stack across the switches
    for (int round = 0; round < 3; ++round) {
        p.log.push_back("worker " + std::to_string(++counted));
        Fiber::switchTo(*p.worker, p.host);
    }
    p.log.push_back("worker done");
    Fiber::switchAwayForGood(*p.worker, p.host);
}

TEST(Fiber, ResumesWhereItLeftWithItsStackIntact)
{
    PingPong p;
    p.worker = std::make_unique<Fiber>(&pingPongEntry, &p);
    for (int round = 0; round < 4; ++round) {
        p.log.push_back("host " + std::to_string(round));
        Fiber::switchTo(p.host, *p.worker);
    }
    EXPECT_EQ(p.log, (std::vector<std::string>{"host 0", "worker 1", "host 1", "worker 2", "host 2", "worker 3",
                                               "host 3", "worker done"}));
}

// A fiber switched out inside a catch handler finds its exception still the one being handled,
// though the other side threw and caught its own meanwhile.
struct Handlers {
    Fiber host;
    std::unique_ptr<Fiber> worker;
    std::string workerSawAfterSwitch;
    int uncaughtInWorker = -1;
};

void handlerEntry(void* argument)
{
    auto& h = *static_cast<Handlers*>(argument);
    try {
        throw std::runtime_error("the worker's");
    } catch (const std::exception&) {
        Fiber::switchTo(*h.worker, h.host);
        try {
            std::rethrow_exception(std::current_exception());
        } catch (const std::exception& again) {
            h.workerSawAfterSwitch = again.what();
        }
        h.uncaughtInWorker = std::uncaught_exceptions();
    }
    Fiber::switchAwayForGood(*h.worker, h.host);
}

TEST(Fiber, KeepsItsOwnExceptionStateAcrossSwitches)
{
    Handlers h;
    h.worker = std::make_unique<Fiber>(&handlerEntry, &h);
    std::string hostSaw;
    try {
        throw std::logic_error("the host's");
    } catch (const std::exception&) {
        Fiber::switchTo(h.host, *h.worker);  // the worker is now inside its own handler
        try {
            std::rethrow_exception(std::current_exception());
        } catch (const std::exception& again) {
            hostSaw = again.what();
        }
        Fiber::switchTo(h.host, *h.worker);
    }
    EXPECT_EQ(hostSaw, "the host's");
    EXPECT_EQ(h.workerSawAfterSwitch, "the worker's");
    EXPECT_EQ(h.uncaughtInWorker, 0);
    EXPECT_EQ(std::uncaught_exceptions(), 0);
}

struct Deep {
    Fiber host;
    std::unique_ptr<Fiber> worker;
    long sum = 0;
};

long recurse(int depth)
{
    volatile char frame[1024] = {};
    frame[0] = static_cast<char>(depth);
    return depth == 0 ? frame[0] : frame[0] + recurse(depth - 1);
}

void deepEntry(void* argument)
{
    auto& d = *static_cast<Deep*>(argument);
    d.sum = recurse(400);  // well over 400 KiB of stack
    Fiber::switchAwayForGood(*d.worker, d.host);
}

TEST(Fiber, HasRoomForDeepCalls)
{
    Deep d;
    d.worker = std::make_unique<Fiber>(&deepEntry, &d);
    Fiber::switchTo(d.host, *d.worker);
    long expected = 0;
    for (int depth = 0; depth <= 400; ++depth)
        expected += static_cast<char>(depth);
    EXPECT_EQ(d.sum, expected);
}

// Two device threads of one program, on one host thread in the serial mode: each sees its own
// last error after the other has run and set another.
TEST(Fiber, EachDeviceThreadKeepsItsLastError)
{
    Device device(DeviceOptions{});
    DWORD seenByFirst = 0;
    DWORD seenBySecond = 0;
    runProgram(device, [&] {
        std::function<void()> second = [&] {
            SetLastError(7);
            Sleep(20);
            seenBySecond = GetLastError();
        };
        HANDLE thread = CreateThread(
            nullptr, 0,
            [](LPVOID body) -> DWORD {
                (*static_cast<std::function<void()>*>(body))();
                return 0;
            },
            &second, 0, nullptr);
        SetLastError(5);
        Sleep(10);  // the second thread runs and sets its own
        seenByFirst = GetLastError();
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    });
    EXPECT_EQ(seenByFirst, 5u);
    EXPECT_EQ(seenBySecond, 7u);
}

// Threads that end give their stacks back: a program that starts and ends many threads, one at
// a time, runs to its end.
TEST(Fiber, EndedThreadsGiveTheirStacksBack)
{
    Device device(DeviceOptions{});
    int finished = 0;
    runProgram(device, [&] {
        for (int i = 0; i < 2000; ++i) {
            HANDLE thread = CreateThread(
                nullptr, 0,
                [](LPVOID counter) -> DWORD {
                    ++*static_cast<int*>(counter);
                    return 0;
                },
                &finished, 0, nullptr);
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
    });
    EXPECT_EQ(finished, 2000);
}

}  // namespace
}  // namespace velorin::test
