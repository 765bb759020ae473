// Helpers shared by the kernel tests: the ways a device runs, modules, queues and threads.
#pragma once

#include "../support/device_test_support.hpp"
#include "msgqueue.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <type_traits>

namespace velorin::test {

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
