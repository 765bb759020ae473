// Handles: a closed handle stays dead, and a handle of one kind does not pass for another.
#include "kernel_test_support.hpp"

namespace velorin::test {
namespace {

using Handle = DeviceTest;

TEST_F(Handle, ClosedHandleIsRefusedEvenAfterItsSlotIsReused)
{
    HANDLE first = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(first));
    HANDLE second = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);

    EXPECT_FALSE(SetEvent(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    // The stale handle touched nothing: the new event is still reset and open.
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(second));
}

TEST_F(Handle, HandleOfAnotherKindIsRefused)
{
    HANDLE ev = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto reader = queueOptions(true);
    HANDLE readEnd = CreateMsgQueue(nullptr, &reader);
    auto writer = queueOptions(false);
    HANDLE writeEnd = OpenMsgQueue(nullptr, readEnd, &writer);
    ASSERT_NE(writeEnd, nullptr);
    runProgram(device, [&] {
        HANDLE thread = CreateThread(
            nullptr, 0, [](LPVOID) -> DWORD { return 5; }, nullptr, 0, nullptr);
        BYTE buf[8] = {};
        DWORD read = 0, code = 0;
        const auto refusal = [](BOOL ok) { return ok ? ERROR_SUCCESS : GetLastError(); };
        EXPECT_EQ(refusal(SetEvent(thread)), ERROR_INVALID_HANDLE);
        EXPECT_EQ(refusal(SetEvent(readEnd)), ERROR_INVALID_HANDLE);
        EXPECT_EQ(refusal(ReadMsgQueue(ev, buf, sizeof buf, &read, 0, nullptr)), ERROR_INVALID_HANDLE);
        EXPECT_EQ(refusal(ReadMsgQueue(writeEnd, buf, sizeof buf, &read, 0, nullptr)), ERROR_INVALID_HANDLE);
        EXPECT_EQ(refusal(WriteMsgQueue(readEnd, buf, sizeof buf, 0, 0)), ERROR_INVALID_HANDLE);
        EXPECT_EQ(refusal(WriteMsgQueue(ev, buf, sizeof buf, 0, 0)), ERROR_INVALID_HANDLE);
        EXPECT_EQ(refusal(GetExitCodeThread(ev, &code)), ERROR_INVALID_HANDLE);
        EXPECT_EQ(refusal(CloseMsgQueue(ev)), ERROR_INVALID_HANDLE);
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        EXPECT_TRUE(GetExitCodeThread(thread, &code));
        EXPECT_EQ(code, 5u);
    });
    // None of the refused calls changed the objects they were aimed at.
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(ev));
    MSGQUEUEINFO info{};
    info.dwSize = sizeof info;
    ASSERT_TRUE(GetMsgQueueInfo(readEnd, &info));
    EXPECT_EQ(info.dwCurrentMessages, 0u);
    EXPECT_EQ(info.wNumReaders, 1);
    EXPECT_EQ(info.wNumWriters, 1);
}

}  // namespace
}  // namespace velorin::test
