// The suite's output: one line a check, "<group>.<check>: <value>", the same on every system
// that behaves alike, so that two runs compare line by line.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace conformance {

void Report(const char* group, const char* check, const std::string& value);
std::string YesNo(BOOL value);
std::string Number(long long value);
// An error code by its number, as GetLastError gives it.
std::string Error(DWORD code);
// A wait's result: "timeout", "failed" or "object<index>".
std::string WaitResult(DWORD result);

// A log of chosen messages, in the order a window procedure saw them.
class MessageLog {
public:
    static MessageLog& Instance();
    void Record(const std::string& entry);
    // The entries since the last Take, joined by commas ("-" for none).
    std::string Take();

private:
    std::vector<std::string> m_entries;
};

// Dispatches what the calling thread's queue holds now, paint and timers included.
void PumpMessages();

// Group entries, in the order they run.
void RunWindowChecks();
void RunMessageChecks();
void RunTimerChecks();
void RunPaintChecks();
void RunDialogChecks();
void RunInputChecks();
void RunActivationChecks();
void RunWindowTreeChecks();
void RunKernelChecks();
void RunProcessChecks();
void RunRegistryChecks();
void RunGdiChecks();
void RunResourceChecks();

}  // namespace conformance

// The suite's entry, on the device and on Windows alike.
int ConformanceMain();
