// Helpers shared by the kernel tests: run a lambda as a program, read the trace, name handles.
#pragma once

#include "boot/device.hpp"
#include "windows.h"
#include "msgqueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>
#include <type_traits>
#include <utility>

namespace velorin::test {

using platform::Device;
using platform::DeviceOptions;

// Starts `body` as the main thread of a new program process (a void body exits with 0).
template <class Body> kernel::ProcessId launchProgram(Device& device, Body body, std::string name = "test")
{
    if constexpr (std::is_void_v<std::invoke_result_t<Body&>>) {
        return device.launch(std::move(name), [body = std::move(body)]() mutable {
            body();
            return 0;
        });
    } else {
        return device.launch(std::move(name), std::move(body));
    }
}

// Moves device time until the process has ended; steps are cheap in virtual time.
inline int waitForExit(Device& device, kernel::ProcessId pid)
{
    for (int step = 0; device.running(pid) && step < 200'000; ++step)
        device.runFor(1000);
    EXPECT_FALSE(device.running(pid)) << "program " << pid << " never ended";
    return device.exitCode(pid).value_or(-1);
}

// Runs `body` as a program and returns its exit code once it has ended.
template <class Body> int runProgram(Device& device, Body body)
{
    return waitForExit(device, launchProgram(device, std::move(body)));
}

// A way the device runs, for tests that must hold in each.
struct RunModeCase {
    kernel::RunMode run;
    kernel::ClockMode clock;
    const char* name;

    DeviceOptions options() const
    {
        DeviceOptions out;
        out.run = run;
        out.clock = clock;
        return out;
    }
};

inline const auto kEveryRunMode = testing::Values(
    RunModeCase{kernel::RunMode::Serial, kernel::ClockMode::Virtual, "Serial"},
    RunModeCase{kernel::RunMode::Preemptive, kernel::ClockMode::Virtual, "Preemptive"},
    RunModeCase{kernel::RunMode::Free, kernel::ClockMode::Virtual, "Free"},
    RunModeCase{kernel::RunMode::Serial, kernel::ClockMode::Wall, "WallClock"});

inline std::string runModeName(const testing::TestParamInfo<RunModeCase>& info)
{
    return info.param.name;
}

inline bool hasLine(Device& device, const std::string& line)
{
    const auto& lines = device.trace().lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A handle as call lines print it.
inline std::string handleText(const void* handle)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
    return buf;
}

inline void addExport(Device& device, const std::wstring& module, const std::wstring& name, FARPROC proc,
                      bool system = true)
{
    std::lock_guard lock(device.kernel().mutex());
    device.kernel().modulesLocked().addExport(module, name, proc, system);
}

inline MSGQUEUEOPTIONS queueOptions(bool read, DWORD maxMessages = 0, DWORD cbMaxMessage = 64, DWORD flags = 0)
{
    return MSGQUEUEOPTIONS{sizeof(MSGQUEUEOPTIONS), flags, maxMessages, cbMaxMessage, read ? TRUE : FALSE};
}

// Starts a program thread that runs `body` (a void body exits with 0); `body` must outlive the
// thread, also when its process is ended under it.
template <class F> HANDLE startThread(F& body)
{
    const auto entry = [](LPVOID p) -> DWORD {
        F& f = *static_cast<F*>(p);
        if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
            f();
            return 0;
        } else {
            return f();
        }
    };
    return CreateThread(nullptr, 0, entry, &body, 0, nullptr);
}

}  // namespace velorin::test
