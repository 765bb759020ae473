// What the device's tests share: programs made of lambdas, a device booted for each test, what
// the test programs heard, and the trace read back.
#pragma once

#include "boot/device.hpp"
#include "windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace velorin::test {

using platform::Device;
using platform::DeviceOptions;
using Lines = std::vector<std::string>;

// Starts `body` as the main thread of a new program process (a void body exits with 0);
// `resources` are the bytes of its resource module, empty for none.
template <class Body>
kernel::ProcessId launch(Device& device, Body body, std::string name = "test",
                         std::span<const std::uint8_t> resources = {})
{
    if constexpr (std::is_void_v<std::invoke_result_t<Body&>>) {
        return device.launch(
            std::move(name),
            [body = std::move(body)]() mutable {
                body();
                return 0;
            },
            resources);
    } else {
        return device.launch(std::move(name), std::move(body), resources);
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

// Runs `body` as a program and returns its exit code once it has ended; its platform calls are
// traced and faulted.
template <class Body>
int runProgram(Device& device, Body body, std::string name = "test", std::span<const std::uint8_t> resources = {})
{
    return waitForExit(device, launch(device, std::move(body), std::move(name), resources));
}

// A device of the default options for each test. It is a member, so it goes after the test's
// locals: a program still waiting at the end is stopped then.
class DeviceTest : public ::testing::Test {
protected:
    Device device;
};

// What the test programs heard, in order, from any thread.
inline std::mutex g_heardMutex;
inline Lines g_heard;
inline void hear(std::string line)
{
    std::lock_guard lock(g_heardMutex);
    g_heard.push_back(std::move(line));
}
inline Lines takeHeard()
{
    std::lock_guard lock(g_heardMutex);
    return std::exchange(g_heard, {});
}

// The trace lines whose event is one of `events`, in order.
inline Lines eventsOf(Device& device, const Lines& events)
{
    Lines out;
    for (const auto& line : device.trace().lines()) {
        for (const auto& event : events) {
            if (line.find(" " + event + " ") == line.find(' '))
                out.push_back(line);
        }
    }
    return out;
}

inline bool hasLine(Device& device, const std::string& line)
{
    const auto& lines = device.trace().lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

inline Lines linesOf(Device& device, std::string_view event)
{
    std::lock_guard lock(device.kernel().mutex());
    return device.trace().linesOf(event);
}

// A handle as call lines print it.
inline std::string handleText(const void* handle)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
    return text;
}

}  // namespace velorin::test
