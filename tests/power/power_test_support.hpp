// Helpers of the power tests: programs written in the test, the battery driven from outside,
// notification queues read as bytes, and what the trace says.
#pragma once

#include "../support/device_test_support.hpp"
#include "trace/trace_recorder.hpp"
#include "msgqueue.h"
#include "pm.h"

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velorin::test {

using Bytes = std::vector<BYTE>;

inline constexpr DWORD kMessageSize = sizeof(POWER_BROADCAST) + sizeof(POWER_BROADCAST_POWER_INFO);
inline constexpr wchar_t kBacklightKey[] = L"ControlPanel\\BackLight";
inline constexpr wchar_t kTimeoutsKey[] = L"System\\CurrentControlSet\\Control\\Power\\Timeouts";

// A report of the battery driver, as the scenario's power lines make one.
inline void report(Device& device, std::optional<BYTE> ac, std::optional<BYTE> percent)
{
    {
        std::lock_guard lock(device.kernel().mutex());
        device.battery().reportLocked(ac, percent);
    }
    device.settle();
}

inline void setDword(Device& device, registry::Root root, std::wstring_view path, std::wstring name, DWORD value)
{
    std::lock_guard lock(device.kernel().mutex());
    device.registry().setValueLocked(root, path, registry::dwordValue(std::move(name), value));
}

inline power::Backlight seen(Device& device)
{
    std::lock_guard lock(device.kernel().mutex());
    return device.backlight().seenLocked();
}

inline power::PowerState pmState(Device& device)
{
    std::lock_guard lock(device.kernel().mutex());
    return device.powerManager().stateLocked();
}

// A readable notification queue as a program makes one (44-byte messages by default).
inline HANDLE makeQueue(DWORD maxMessages = 0, DWORD cbMaxMessage = kMessageSize)
{
    MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), 0, maxMessages, cbMaxMessage, TRUE};
    return CreateMsgQueue(nullptr, &options);
}

// The next message without waiting, or nothing.
inline std::optional<Bytes> readMessage(HANDLE queue)
{
    Bytes buffer(64);
    DWORD read = 0;
    DWORD flags = 0;
    if (!ReadMsgQueue(queue, buffer.data(), static_cast<DWORD>(buffer.size()), &read, 0, &flags))
        return std::nullopt;
    buffer.resize(read);
    return buffer;
}

inline DWORD dwordAt(const Bytes& bytes, std::size_t offset)
{
    DWORD value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// "ac=<n> percent=<n>" of a PBT_POWERINFOCHANGE message, read at the device's offsets.
inline std::string infoOf(const Bytes& message)
{
    if (message.size() != kMessageSize || dwordAt(message, 0) != PBT_POWERINFOCHANGE)
        return "not a power information message";
    return "ac=" + std::to_string(message[32]) + " percent=" + std::to_string(message[34]);
}

// A program that subscribes and then writes down every message it receives as
// "<who> ac=<n> percent=<n>", until its process ends.
inline void listen(const std::string& who, DWORD types = PBT_POWERINFOCHANGE)
{
    HANDLE queue = makeQueue();
    if (!RequestPowerNotifications(queue, types)) {
        hear(who + " refused " + std::to_string(GetLastError()));
        return;
    }
    for (;;) {
        WaitForSingleObject(queue, INFINITE);
        while (const auto message = readMessage(queue))
            hear(who + " " + infoOf(*message));
    }
}

inline Lines powerEvents(Device& device)
{
    return eventsOf(device, {"power.info", "pm.state", "backlight", "device.power", "system.power", "event.signal"});
}

}  // namespace velorin::test
