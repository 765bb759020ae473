// Processes started by CreateProcessW: their handles as waits see them, their exit codes, the
// images they are found by, and the image path a process reads of itself.
#include "kernel_test_support.hpp"

#include <string>

namespace velorin::test {
namespace {

using ProcessHandle = DeviceTest;

constexpr wchar_t kChildPath[] = L"\\Windows\\child.exe";

struct Started {
    BOOL created = FALSE;
    DWORD error = 0;
    PROCESS_INFORMATION info{};
};

// CreateProcessW as a desktop program calls it, with a start-up record that CE ignores.
Started startChild(LPCWSTR image)
{
    Started started;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    SetLastError(0);
    started.created =
        CreateProcessW(image, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started.info);
    started.error = GetLastError();
    return started;
}

TEST_F(ProcessHandle, RunningThenSignalledWithTheMainThreadsResultWhileAnotherThreadStillWaits)
{
    HANDLE go = nullptr;
    HANDLE never = nullptr;
    bool otherThreadReturned = false;
    auto blocked = [&] {
        WaitForSingleObject(never, INFINITE);
        otherThreadReturned = true;
    };
    device.installImage(kChildPath, [&] {
        startThread(blocked);
        WaitForSingleObject(go, INFINITE);
        return 37;
    });
    Started child;
    DWORD runningProcess = 0, runningThread = 0, endedProcess = 0, endedThread = 0;
    DWORD waitWhileRunning = 0, mainThreadWhileRunning = 0, waitForEnd = 0, mainThreadAfterEnd = 0;
    DWORD endedAt = 0;
    BOOL closedProcess = FALSE, closedThread = FALSE, closedAgain = TRUE;
    DWORD exitCodeOfClosed = 0;
    runProgram(device, [&] {
        go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        child = startChild(kChildPath);
        Sleep(10);
        GetExitCodeProcess(child.info.hProcess, &runningProcess);
        GetExitCodeThread(child.info.hThread, &runningThread);
        waitWhileRunning = WaitForSingleObject(child.info.hProcess, 50);
        mainThreadWhileRunning = WaitForSingleObject(child.info.hThread, 0);
        SetEvent(go);
        waitForEnd = WaitForSingleObject(child.info.hProcess, INFINITE);
        endedAt = GetTickCount();
        mainThreadAfterEnd = WaitForSingleObject(child.info.hThread, 0);
        GetExitCodeProcess(child.info.hProcess, &endedProcess);
        GetExitCodeThread(child.info.hThread, &endedThread);
        closedProcess = CloseHandle(child.info.hProcess);
        closedThread = CloseHandle(child.info.hThread);
        closedAgain = CloseHandle(child.info.hProcess);
        GetExitCodeProcess(child.info.hProcess, &exitCodeOfClosed);
        CloseHandle(go);
        CloseHandle(never);
    });
    EXPECT_TRUE(child.created);
    EXPECT_NE(child.info.hProcess, nullptr);
    EXPECT_NE(child.info.hThread, nullptr);
    EXPECT_NE(child.info.dwProcessId, 0u);
    EXPECT_NE(child.info.dwThreadId, 0u);
    EXPECT_EQ(runningProcess, STILL_ACTIVE);
    EXPECT_EQ(runningThread, STILL_ACTIVE);
    EXPECT_EQ(waitWhileRunning, WAIT_TIMEOUT);
    EXPECT_EQ(mainThreadWhileRunning, WAIT_TIMEOUT);
    EXPECT_EQ(waitForEnd, WAIT_OBJECT_0);
    EXPECT_EQ(endedAt, 60u);  // at the go, not when the blocked thread would end (never)
    EXPECT_EQ(mainThreadAfterEnd, WAIT_OBJECT_0);
    EXPECT_EQ(endedProcess, 37u);
    EXPECT_EQ(endedThread, 37u);
    EXPECT_TRUE(closedProcess);
    EXPECT_TRUE(closedThread);
    EXPECT_FALSE(closedAgain);
    EXPECT_EQ(exitCodeOfClosed, 0u);
    EXPECT_FALSE(otherThreadReturned);
    EXPECT_EQ(device.exitCode(child.info.dwProcessId), 37);
    EXPECT_TRUE(hasLine(device, "60 exit pid=" + std::to_string(child.info.dwProcessId) + " code=37"));
}

TEST_F(ProcessHandle, TheParentsHandlesOutliveTheChildAndTheChildsGoWithIt)
{
    HANDLE childsEvent = nullptr;
    device.installImage(kChildPath, [&] {
        childsEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        return 5;
    });
    Started child;
    DWORD code = 0, childsEventWait = 0;
    runProgram(device, [&] {
        child = startChild(L"child");
        WaitForSingleObject(child.info.hProcess, INFINITE);
        childsEventWait = WaitForSingleObject(childsEvent, 0);
        GetExitCodeProcess(child.info.hProcess, &code);
    });
    EXPECT_TRUE(child.created);
    EXPECT_EQ(code, 5u);
    EXPECT_EQ(childsEventWait, WAIT_FAILED);
}

TEST_F(ProcessHandle, ImagesAreFoundAsCEFindsThemAndAMissingOneIsNotFound)
{
    int started = 0;
    device.installImage(kChildPath, [&] {
        ++started;
        return 0;
    });
    Started full, bare, upper, missing, none;
    DWORD noneError = 0;
    DWORD threadAsProcess = 0;
    BOOL threadAnswered = TRUE;
    runProgram(device, [&] {
        full = startChild(kChildPath);
        bare = startChild(L"child");
        upper = startChild(L"\\WINDOWS\\CHILD.EXE");
        missing = startChild(L"\\Windows\\nosuch.exe");
        SetLastError(0);
        // CE takes the program from the image name only, never from the command line.
        none.created =
            CreateProcessW(nullptr, L"child.exe", nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &none.info);
        noneError = GetLastError();
        threadAnswered = GetExitCodeProcess(full.info.hThread, &threadAsProcess);
    });
    device.runFor(100);
    EXPECT_TRUE(full.created);
    EXPECT_TRUE(bare.created);
    EXPECT_TRUE(upper.created);
    EXPECT_EQ(started, 3);
    EXPECT_FALSE(missing.created);
    EXPECT_EQ(missing.error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing.info.hProcess, nullptr);
    EXPECT_FALSE(none.created);
    EXPECT_EQ(noneError, ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(threadAnswered);
}

TEST_F(ProcessHandle, AProcessReadsItsImagePathAndAShortBufferTakesWhatFits)
{
    WCHAR own[MAX_PATH] = {};
    WCHAR childsOwn[MAX_PATH] = {};
    WCHAR shortBuffer[6] = {};
    DWORD ownLength = 0, shortLength = 0, shortError = 0;
    device.installImage(kChildPath, [&] {
        GetModuleFileNameW(nullptr, childsOwn, MAX_PATH);
        return 0;
    });
    runProgram(device, [&] {
        ownLength = GetModuleFileNameW(nullptr, own, MAX_PATH);
        shortLength = GetModuleFileNameW(nullptr, shortBuffer, 6);
        shortError = GetLastError();
        const Started child = startChild(kChildPath);
        WaitForSingleObject(child.info.hProcess, INFINITE);
    });
    EXPECT_EQ(std::wstring(own), L"\\Windows\\test.exe");
    EXPECT_EQ(ownLength, 17u);
    EXPECT_EQ(std::wstring(shortBuffer), L"\\Wind");
    EXPECT_EQ(shortLength, 6u);
    EXPECT_EQ(shortError, ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::wstring(childsOwn), kChildPath);
}

}  // namespace
}  // namespace velorin::test
