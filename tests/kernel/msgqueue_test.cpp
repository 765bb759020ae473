// Point-to-point message queues: order, limits, blocking ends, broken pipes, names.
#include "kernel_test_support.hpp"

#include <string>
#include <vector>

namespace velorin::test {
namespace {

using MsgQueue = DeviceTest;

struct Queue {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
};

Queue makeQueue(DWORD maxMessages = 0, DWORD cbMaxMessage = 64, DWORD flags = 0)
{
    auto readOptions = queueOptions(true, maxMessages, cbMaxMessage, flags);
    auto writeOptions = queueOptions(false);
    Queue q;
    q.read = CreateMsgQueue(nullptr, &readOptions);
    q.write = OpenMsgQueue(nullptr, q.read, &writeOptions);
    EXPECT_NE(q.read, nullptr);
    EXPECT_NE(q.write, nullptr);
    return q;
}

BOOL writeText(HANDLE q, std::string text, DWORD timeout = 0, DWORD flags = 0)
{
    return WriteMsgQueue(q, text.data(), static_cast<DWORD>(text.size()), timeout, flags);
}

// The next message as text, or "error N".
std::string readText(HANDLE q, DWORD bufferSize = 64, DWORD timeout = 0, DWORD* flags = nullptr)
{
    std::vector<char> buf(bufferSize);
    DWORD read = 0;
    const BOOL ok = ReadMsgQueue(q, buf.data(), bufferSize, &read, timeout, flags);
    std::string text(buf.data(), read);
    return ok ? text : "error " + std::to_string(GetLastError()) + " " + text;
}

TEST_F(MsgQueue, DeliversWholeMessagesInOrderWithinItsLimits)
{
    Queue q = makeQueue(0, 8);
    EXPECT_TRUE(writeText(q.write, "one"));
    EXPECT_TRUE(writeText(q.write, "two", 0, MSGQUEUE_MSGALERT));
    EXPECT_TRUE(writeText(q.write, "three"));
    EXPECT_FALSE(writeText(q.write, "too long!"));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_TRUE(writeText(q.write, "eight ok"));

    MSGQUEUEINFO info{};
    info.dwSize = sizeof info;
    ASSERT_TRUE(GetMsgQueueInfo(q.read, &info));
    EXPECT_EQ(info.dwCurrentMessages, 4u);
    EXPECT_EQ(info.cbMaxMessage, 8u);

    DWORD flags = 99;
    EXPECT_EQ(readText(q.read, 8, 0, &flags), "one");
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(readText(q.read, 8, 0, &flags), "two");
    EXPECT_EQ(flags, MSGQUEUE_MSGALERT);
    // A buffer too small takes the message all the same and fills the buffer.
    EXPECT_EQ(readText(q.read, 2), "error 122 th");
    EXPECT_EQ(readText(q.read), "eight ok");
    EXPECT_EQ(readText(q.read), "error 1460 ");
}

TEST_F(MsgQueue, ReadEndIsSignalledOnlyWhileAMessageWaits)
{
    Queue q = makeQueue();
    EXPECT_EQ(WaitForSingleObject(q.read, 0), WAIT_TIMEOUT);
    writeText(q.write, "x");
    EXPECT_EQ(WaitForSingleObject(q.read, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(q.read, 0), WAIT_OBJECT_0);  // a wait takes nothing
    EXPECT_EQ(readText(q.read), "x");
    EXPECT_EQ(WaitForSingleObject(q.read, 0), WAIT_TIMEOUT);

    // A program waiting on the read end wakes when the message is written.
    DWORD result = 0, at = 0;
    const auto pid = launch(device, [&] {
        result = WaitForSingleObject(q.read, INFINITE);
        at = GetTickCount();
    });
    device.runFor(400);
    EXPECT_TRUE(device.running(pid));
    writeText(q.write, "y");
    waitForExit(device, pid);
    EXPECT_EQ(result, WAIT_OBJECT_0);
    EXPECT_EQ(at, 400u);
}

TEST_F(MsgQueue, BlockedReadsAndWritesTimeOutInDeviceTime)
{
    Queue q = makeQueue(2);
    std::string timedRead, fullWrite, blockedWrite;
    DWORD readTook = 0, writeTook = 0, unblockedAt = 0;
    auto drainer = [&] {
        Sleep(100);
        readText(q.read);
    };
    runProgram(device, [&] {
        DWORD t = GetTickCount();
        timedRead = readText(q.read, 64, 5000);
        readTook = GetTickCount() - t;

        writeText(q.write, "a");
        writeText(q.write, "b");
        fullWrite = writeText(q.write, "c") ? "ok" : "error " + std::to_string(GetLastError());
        t = GetTickCount();
        writeText(q.write, "c", 250);
        writeTook = GetTickCount() - t;

        // Room made by a reader lets a blocked writer through.
        HANDLE th = startThread(drainer);
        t = GetTickCount();
        blockedWrite = writeText(q.write, "c", INFINITE) ? "ok" : "error";
        unblockedAt = GetTickCount() - t;
        WaitForSingleObject(th, INFINITE);
        CloseHandle(th);
    });
    EXPECT_EQ(timedRead, "error 1460 ");
    EXPECT_EQ(readTook, 5000u);
    EXPECT_EQ(fullWrite, "error 1460");
    EXPECT_EQ(writeTook, 250u);
    EXPECT_EQ(blockedWrite, "ok");
    EXPECT_EQ(unblockedAt, 100u);
    EXPECT_EQ(readText(q.read), "b");
    EXPECT_EQ(readText(q.read), "c");
}

TEST_F(MsgQueue, WriteToAQueueWithoutReadersFailsUnlessBrokenIsAllowed)
{
    Queue strict = makeQueue();
    Queue lenient = makeQueue(0, 64, MSGQUEUE_ALLOW_BROKEN);
    ASSERT_TRUE(CloseMsgQueue(strict.read));
    ASSERT_TRUE(CloseMsgQueue(lenient.read));
    EXPECT_FALSE(writeText(strict.write, "x"));
    EXPECT_EQ(GetLastError(), ERROR_PIPE_NOT_CONNECTED);
    EXPECT_TRUE(writeText(lenient.write, "x"));

    // A reader blocked when the last writer goes is woken with the same error, after the
    // messages already queued.
    Queue q = makeQueue();
    writeText(q.write, "last");
    std::vector<std::string> got;
    const auto pid = launch(device, [&] {
        got.push_back(readText(q.read, 64, INFINITE));
        got.push_back(readText(q.read, 64, INFINITE));
    });
    device.runFor(50);
    CloseMsgQueue(q.write);
    waitForExit(device, pid);
    EXPECT_EQ(got, (std::vector<std::string>{"last", "error 233 "}));
}

TEST_F(MsgQueue, NamedQueueConnectsTwoProcesses)
{
    std::vector<std::string> received;
    DWORD secondCreate = 0;
    const auto reader = launch(device, [&] {
        auto options = queueOptions(true, 4, 32);
        HANDLE q = CreateMsgQueue(L"Velorin/Test", &options);
        // A read with no writer yet would fail at once; the read end waits for a message.
        while (received.size() < 3 && WaitForSingleObject(q, INFINITE) == WAIT_OBJECT_0)
            received.push_back(readText(q, 32));
        CloseMsgQueue(q);
    });
    const auto writer = launch(device, [&] {
        Sleep(10);
        auto options = queueOptions(false, 4, 32);
        HANDLE q = CreateMsgQueue(L"Velorin/Test", &options);
        secondCreate = GetLastError();
        for (const char* text : {"alpha", "beta", "gamma"}) {
            writeText(q, text);
            Sleep(20);
        }
    });
    waitForExit(device, writer);
    waitForExit(device, reader);
    EXPECT_EQ(secondCreate, ERROR_ALREADY_EXISTS);
    EXPECT_EQ(received, (std::vector<std::string>{"alpha", "beta", "gamma"}));
}

}  // namespace
}  // namespace velorin::test
