// The report lines and the forms of their values, the message log, and the order the groups run.
#include "report.hpp"

#include <cstdio>

namespace conformance {

void Report(const char* group, const char* check, const std::string& value)
{
    std::printf("%s.%s: %s\n", group, check, value.c_str());
    std::fflush(stdout);
}

std::string YesNo(BOOL value)
{
    return value ? "yes" : "no";
}

std::string Number(long long value)
{
    return std::to_string(value);
}

std::string Error(DWORD code)
{
    return "error " + std::to_string(code);
}

std::string WaitResult(DWORD result)
{
    if (result == WAIT_TIMEOUT)
        return "timeout";
    if (result == WAIT_FAILED)
        return "failed";
    return "object" + Number(result - WAIT_OBJECT_0);
}

MessageLog& MessageLog::Instance()
{
    static MessageLog log;
    return log;
}

void MessageLog::Record(const std::string& entry)
{
    m_entries.push_back(entry);
}

std::string MessageLog::Take()
{
    std::string joined;
    for (const std::string& entry : m_entries)
        joined += (joined.empty() ? "" : ",") + entry;
    m_entries.clear();
    return joined.empty() ? "-" : joined;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace conformance

int ConformanceMain()
{
    using namespace conformance;
    RunWindowChecks();
    RunMessageChecks();
    RunTimerChecks();
    RunPaintChecks();
    RunDialogChecks();
    RunInputChecks();
    RunActivationChecks();
    RunWindowTreeChecks();
    RunKernelChecks();
    RunProcessChecks();
    RunRegistryChecks();
    RunGdiChecks();
    RunResourceChecks();
    return 0;
}
