// Instances started and waited on until they are up, their ends traced, and what is left ended at
// the run's end.
#include "programs.hpp"

#include <velorin_device.h>

#include <string>

namespace velorin::wine {

namespace {

// How long a program may take to come up under Wine before the run goes on without it.
constexpr DWORD kStartTimeoutMs = 15000;

}  // namespace

Programs::~Programs()
{
    endAll();
}

bool Programs::launch(std::string& why)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + m_path + L"\"";
    if (!CreateProcessW(m_path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        why = "cannot start the program: error " + std::to_string(GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    m_instances.push_back(Instance{info.hProcess, info.dwProcessId, false});
    // The first instance starts device time; a later one has started once it is idle or gone.
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < kStartTimeoutMs) {
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
            break;
        if (VelorinClockStarted() && WaitForInputIdle(info.hProcess, 10) != WAIT_TIMEOUT)
            break;
        Sleep(5);
    }
    traceExits();
    return true;
}

bool Programs::anyRunning()
{
    traceExits();
    for (const Instance& instance : m_instances) {
        if (WaitForSingleObject(instance.process, 0) == WAIT_TIMEOUT)
            return true;
    }
    return false;
}

std::vector<DWORD> Programs::processIds() const
{
    std::vector<DWORD> ids;
    for (const Instance& instance : m_instances)
        ids.push_back(instance.pid);
    return ids;
}

void Programs::traceExits()
{
    for (Instance& instance : m_instances) {
        DWORD code = 0;
        if (instance.exitTraced || WaitForSingleObject(instance.process, 0) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(instance.process, &code))
            continue;
        instance.exitTraced = true;
        const std::string args = "pid=" + std::to_string(instance.pid) + " code=" + std::to_string(code);
        VelorinTraceEffect("exit", args.c_str());
    }
}

void Programs::endAll()
{
    traceExits();
    // What the run's end stops did not end by itself: the device's trace would not show it.
    for (Instance& instance : m_instances) {
        if (WaitForSingleObject(instance.process, 0) == WAIT_TIMEOUT) {
            instance.exitTraced = true;
            TerminateProcess(instance.process, 0);
            WaitForSingleObject(instance.process, 5000);
        }
    }
    for (Instance& instance : m_instances)
        CloseHandle(instance.process);
    m_instances.clear();
}

}  // namespace velorin::wine
