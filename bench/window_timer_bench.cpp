// How fast virtual time runs a window's timer: one device hour of a 100 ms timer (36,000
// WM_TIMER messages through GetMessageW and DispatchMessageW) against the host time it takes.
#include "boot/device.hpp"

#include <windows.h>

#include <benchmark/benchmark.h>

namespace {

using namespace velorin;

constexpr DWORD kDeviceHourMs = 3'600'000;
constexpr UINT kPeriodMs = 100;
int g_ticks = 0;

LRESULT countingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && ++g_ticks == static_cast<int>(kDeviceHourMs / kPeriodMs))
        PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int timerForAnHour()
{
    WNDCLASSW cls{};
    cls.lpfnWndProc = countingProc;
    cls.lpszClassName = L"Ticker";
    RegisterClassW(&cls);
    HWND window = CreateWindowExW(0, L"Ticker", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetTimer(window, 1, kPeriodMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
    return 0;
}

void BM_VirtualHourOfWindowTimer(benchmark::State& state)
{
    for (auto _ : state) {
        g_ticks = 0;
        platform::Device device;
        const auto pid = device.launch("ticker", timerForAnHour);
        device.runUntil(kDeviceHourMs);
        if (device.running(pid) || g_ticks != static_cast<int>(kDeviceHourMs / kPeriodMs))
            state.SkipWithError("the timer did not tick 36,000 times in the device hour");
    }
    state.counters["timer_messages"] = benchmark::Counter(kDeviceHourMs / kPeriodMs);
    state.counters["device_s_per_host_s"] =
        benchmark::Counter(3600.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VirtualHourOfWindowTimer)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
