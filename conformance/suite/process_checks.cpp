// Processes: a child started by CreateProcessW, its exit code while it runs and once it has ended,
// its process and main-thread handles as waits see them, its window gone with it, which window is
// foreground after it, and an image that is not there.
#include "report.hpp"

#include <string>
#include "process_child.hpp"
#include "test_window.hpp"

namespace conformance {

namespace {

constexpr char kGroup[] = "process";
constexpr wchar_t kMissingImage[] = L"conformance_no_such_program.exe";

// Waits for what must happen, with the caller's windows kept answerable; ten seconds at most,
// ample under Wine.
DWORD WaitPumping(HANDLE handle)
{
    for (int round = 0; round < 500; ++round) {
        const DWORD result = WaitForSingleObject(handle, 20);
        if (result != WAIT_TIMEOUT)
            return result;
        PumpMessages();
    }
    return WAIT_TIMEOUT;
}

// The folder of the suite's own image, with its separator.
std::wstring OwnFolder()
{
    WCHAR path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::string ExitCode(HANDLE process)
{
    DWORD code = 0;
    const BOOL answered = GetExitCodeProcess(process, &code);
    return YesNo(answered) + " " + Number(code);
}

std::string WindowName(HWND hwnd, HWND parent, HWND child)
{
    if (!hwnd)
        return "none";
    if (hwnd == parent)
        return "parent";
    if (hwnd == child)
        return "child";
    return "other";
}

}  // namespace

void RunProcessChecks()
{
    HWND parent = MakeWindow(L"Conformance Process Parent", 0, 0, 200, 200);
    ShowWindow(parent, SW_SHOW);
    SetForegroundWindow(parent);
    PumpMessages();
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, kChildReadyEvent);
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, kChildGoEvent);
    const std::wstring folder = OwnFolder();

    // What a desktop caller passes: CE ignores the start-up record.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const BOOL created = CreateProcessW((folder + kChildImage).c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &info);
    Report(kGroup, "create_and_child_ready", YesNo(created) + " " + WaitResult(WaitPumping(ready)));
    Report(kGroup, "ids_of_its_own",
           YesNo(info.dwProcessId != 0 && info.dwProcessId != GetCurrentProcessId()) + " " +
               YesNo(info.dwThreadId != 0 && info.dwThreadId != GetCurrentThreadId()));
    Report(kGroup, "exit_code_while_running", ExitCode(info.hProcess));
    HWND child = FindWindowW(nullptr, kChildWindowTitle);
    Report(kGroup, "child_window_found",
           YesNo(child != nullptr) + " " + WindowName(GetForegroundWindow(), parent, child));
    Report(kGroup, "waits_time_out_while_running",
           WaitResult(WaitForSingleObject(info.hProcess, 50)) + " " + WaitResult(WaitForSingleObject(info.hThread, 0)));

    SetEvent(go);
    Report(kGroup, "signalled_when_main_returns", WaitResult(WaitPumping(info.hProcess)));
    Report(kGroup, "exit_code_after_end", ExitCode(info.hProcess));
    Report(kGroup, "window_gone_with_it",
           YesNo(IsWindow(child)) + " " + YesNo(FindWindowW(nullptr, kChildWindowTitle) != nullptr));
    DWORD threadCode = 0;
    const DWORD threadEnd = WaitForSingleObject(info.hThread, 0);
    GetExitCodeThread(info.hThread, &threadCode);
    Report(kGroup, "main_thread_ended_with_the_code", WaitResult(threadEnd) + " " + Number(threadCode));
    PumpMessages();
    Report(kGroup, "foreground_after_end", WindowName(GetForegroundWindow(), parent, child));

    const BOOL closedProcess = CloseHandle(info.hProcess);
    const BOOL closedThread = CloseHandle(info.hThread);
    SetLastError(0);
    const BOOL closedAgain = CloseHandle(info.hProcess);
    Report(kGroup, "handles_closed",
           YesNo(closedProcess) + " " + YesNo(closedThread) + " " + YesNo(closedAgain) + " " + Error(GetLastError()));

    PROCESS_INFORMATION none{};
    SetLastError(0);
    const BOOL missing = CreateProcessW((folder + kMissingImage).c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &none);
    Report(kGroup, "missing_image",
           YesNo(missing) + " " + Error(GetLastError()) + " " + YesNo(none.hProcess != nullptr));

    CloseHandle(go);
    CloseHandle(ready);
    DestroyWindow(parent);
    PumpMessages();
    MessageLog::Instance().Take();
}

}  // namespace conformance
