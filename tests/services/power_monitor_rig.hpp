// A program that runs the power monitor beside a plain window of its own, in place of the
// charging screen: the window writes down every request it is posted, with the source bytes it
// sees then, and stops or dismisses on the test's word.
#pragma once

#include "app/process_globals.h"
#include "services/power_monitor.h"
#include "services/power_source.h"
#include "screen/charge_screen_messages.h"
#include "tests/support/utility_test_support.hpp"

#include <mutex>
#include <vector>

namespace velorin::test {

// What the window saw when a request reached it.
struct Request {
    LPARAM lParam;
    BYTE source;
    BYTE lastReported;
    bool operator==(const Request&) const = default;
};

// Messages the test posts to the rig's window.
inline constexpr UINT WM_RIG_STOP = WM_APP + 50;
inline constexpr UINT WM_RIG_DISMISS = WM_APP + 51;
inline constexpr UINT WM_RIG_QUIT = WM_APP + 52;

struct RigOptions {
    bool lookUpStatus = true;  // look the battery-status function up, as the window does
    bool stopFirst = false;    // ask for the stop before the monitor starts
};

class MonitorRig {
public:
    static MonitorRig*& current()
    {
        static MonitorRig* rig = nullptr;
        return rig;
    }

    explicit MonitorRig(Harness& harness, RigOptions options = {}) : m_harness(harness), m_options(options)
    {
        ResetProcessGlobals();
        current() = this;
        m_pid = harness.device().launch("rig", [this] { return run(); });
        harness.settle();
    }
    ~MonitorRig()
    {
        if (m_window)
            PostMessageW(m_window, WM_RIG_QUIT, 0, 0);
        m_harness.settle();
        current() = nullptr;
        ResetProcessGlobals();
    }

    HWND window() const { return m_window; }
    std::vector<Request> requests()
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    LONG percentCell() { return GetWindowLongW(m_window, GWL_USERDATA); }
    void post(UINT message)
    {
        PostMessageW(m_window, message, 0, 0);
        m_harness.settle();
    }

private:
    static LRESULT proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        MonitorRig& rig = *current();
        switch (message) {
        case WM_SEQ_ADVANCE: {
            std::lock_guard lock(rig.m_mutex);
            rig.m_requests.push_back({lParam, LoadShared(&g_powerSource), LoadShared(&g_lastReportedSource)});
            return 0;
        }
        case WM_RIG_STOP:
            RequestMonitorStop();
            return 0;
        case WM_RIG_DISMISS:
            StoreShared(&g_powerSource, POWER_SOURCE_DISMISSED);
            PostMessageW(hwnd, WM_SEQ_ADVANCE, 0, 1);
            return 0;
        case WM_RIG_QUIT:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
    }

    int run()
    {
        WNDCLASSW cls{};
        cls.lpfnWndProc = proc;
        cls.lpszClassName = L"MonitorRig";
        RegisterClassW(&cls);
        m_window =
            CreateWindowExW(0, L"MonitorRig", L"Rig", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        if (m_options.lookUpStatus)
            LookUpBatteryStatusFunction();
        SetWindowLongW(m_window, GWL_USERDATA, 0);
        g_stopEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (m_options.stopFirst)
            RequestMonitorStop();
        if (HANDLE monitor = CreateThread(nullptr, 0, PowerMonitorThread, m_window, 0, nullptr))
            CloseHandle(monitor);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0))
            DispatchMessageW(&msg);
        return 0;
    }

    Harness& m_harness;
    RigOptions m_options;
    kernel::ProcessId m_pid = 0;
    HWND m_window = nullptr;
    std::mutex m_mutex;
    std::vector<Request> m_requests;
};

}  // namespace velorin::test
