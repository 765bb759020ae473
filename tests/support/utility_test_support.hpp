// Helpers of the utility's tests: a device running the utility, traced to the call, and ways
// to read what it did.
#pragma once

#include "device_test_support.hpp"
#include "framework/wnd.h"
#include "screen/charge_screen_dlg.h"
#include "sim/harness/harness.hpp"

#include <windows.h>
#include <msgqueue.h>
#include <pm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace velorin::test {

using registry::Root;
using sim::Harness;
using sim::HarnessOptions;

// A device with the default hive and the utility, writing every call and dispatch.
inline HarnessOptions utilityOptions()
{
    HarnessOptions options;
    options.device.trace = trace::TraceLevel::All;
    return options;
}

// The power manager refuses the utility its notifications: the power source stays unknown, so
// only start-up and the timers move the window, and the sequencer never runs.
inline void refusePowerNews(Harness& harness)
{
    harness.faults().failAlways("RequestPowerNotifications");
}

inline Lines traceLines(Harness& harness)
{
    std::lock_guard lock(harness.device().kernel().mutex());
    return harness.trace().lines();
}

// The lines that contain `text`, in order.
inline Lines linesWith(Harness& harness, std::string_view text)
{
    Lines found;
    for (auto& line : traceLines(harness)) {
        if (line.find(text) != std::string::npos)
            found.push_back(std::move(line));
    }
    return found;
}

// The lines that contain `text`, after the last line that contains `since`.
inline Lines linesWithSince(Harness& harness, std::string_view text, std::string_view since)
{
    Lines found;
    for (auto& line : traceLines(harness)) {
        if (line.find(since) != std::string::npos)
            found.clear();
        else if (line.find(text) != std::string::npos)
            found.push_back(std::move(line));
    }
    return found;
}

// Position of the first line containing `text`, or -1.
inline long firstLineWith(Harness& harness, std::string_view text)
{
    const Lines lines = traceLines(harness);
    const auto it = std::find_if(lines.begin(), lines.end(),
                                 [&](const std::string& line) { return line.find(text) != std::string::npos; });
    return it == lines.end() ? -1 : static_cast<long>(it - lines.begin());
}

// The charging screen object of the running instance; read it only while the device is settled.
inline CChargeScreenDlg* chargeScreen(Harness& harness)
{
    const auto hwnd = harness.mainWindow();
    return hwnd ? dynamic_cast<CChargeScreenDlg*>(CWnd::FromHandlePermanent(*hwnd)) : nullptr;
}

inline std::optional<DWORD> dword(Harness& harness, Root root, std::wstring_view path, std::wstring_view name)
{
    const auto value = harness.registryValue(root, path, name);
    return value ? registry::dwordOf(*value) : std::nullopt;
}

inline void setDword(Harness& harness, Root root, std::wstring_view path, std::wstring_view name, DWORD number)
{
    harness.setRegistryValue(root, path, registry::dwordValue(std::wstring(name), number));
}

}  // namespace velorin::test

namespace velorin::test {

// Runs `body` as a program of its own on the harness's device, until it has ended; its platform
// calls are traced and faulted like the utility's.
template <class Body> void runAsProgram(Harness& harness, Body body)
{
    const auto pid = launch(harness.device(), std::move(body), "store");
    for (int step = 0; harness.device().running(pid) && step < 100; ++step)
        harness.runFor(1000);
    ASSERT_FALSE(harness.device().running(pid)) << "the program never ended";
}

}  // namespace velorin::test
