// Helpers of the renderer's tests: a shown charging screen, its animation ticks, and the calls
// of one tick with the frame's handles named.
#pragma once

#include "screen/charge_screen_messages.h"
#include "tests/screen/screen_pixels.hpp"
#include "tests/support/utility_test_support.hpp"

#include <cctype>
#include <cstdio>
#include <map>
#include <string>

namespace velorin::test {

inline std::string rectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

// A device running the utility, with ways to drive and read its animation.
class AnimatedScreen {
public:
    explicit AnimatedScreen(HarnessOptions options = utilityOptions()) : harness(std::move(options)) {}

    // Starts the utility on battery power at `percent`, lets the power monitor write the
    // percentage cell and the start hide the window, then shows the window as the sequencer
    // would on AC power, without the rotation and the steps that come with it.
    void start(int percent)
    {
        harness.power(0, percent);
        harness.launch();
        harness.runUntil(kInitialHidePeriodMs + 20);
        ASSERT_NE(chargeScreen(harness), nullptr);
        window = *harness.mainWindow();
        ShowWindow(window, SW_SHOW);
        harness.settle();
    }

    // Runs the device to the end of animation tick `n` (the n-th 900 ms).
    void runToTick(int n) { harness.runUntil(static_cast<sim::DeviceTime>(kAnimationPeriodMs) * n); }

    CChargeScreenDlg& screen() { return *chargeScreen(harness); }
    // The percentage cell as the power monitor would write it.
    void setCell(LONG value) { SetWindowLongW(window, GWL_USERDATA, value); }

    // The calls that animation tick `n` made, each without its time and "call ", the frame's
    // handles named: dc, mem, black, the pictures by their members' names, the memory context's
    // own bitmap as original and the window context's brush as white.
    Lines tickCalls(int n)
    {
        const std::string tick =
            std::to_string(static_cast<long>(kAnimationPeriodMs) * n) + " dispatch hwnd=0x10000 WM_TIMER wparam=1 ";
        CChargeScreenDlg& dlg = screen();
        std::map<std::string, std::string> names{
            {handleText(dlg.m_bmpBatteryEmpty.GetSafeHandle()), "empty"},
            {handleText(dlg.m_bmpBatteryFull.GetSafeHandle()), "full"},
            {handleText(dlg.m_bmpChargeSymbol.GetSafeHandle()), "symbol"},
            {handleText(dlg.m_bmpGauge.GetSafeHandle()), "gauge"},
            {handleText(dlg.m_bmpDigits.GetSafeHandle()), "digits"},
            {handleText(GetStockObject(WHITE_BRUSH)), "white"},
        };
        Lines calls;
        bool inTick = false;
        for (const std::string& line : traceLines(harness)) {
            if (line.starts_with(tick)) {
                inTick = true;
                continue;
            }
            if (!inTick)
                continue;
            if (line.find(" dispatch ") != std::string::npos)
                break;
            const auto call = line.find(" call ");
            if (call == std::string::npos)
                continue;
            std::string text = line.substr(call + 6);
            nameResult(text, "GetDC(", "dc", names);
            nameResult(text, "CreateCompatibleDC(", "mem", names);
            nameResult(text, "CreateSolidBrush(", "black", names);
            if (text.starts_with("SelectObject(") && !names.contains(resultOf(text)))
                names[resultOf(text)] = "original";
            calls.push_back(withNames(text, names));
        }
        return calls;
    }

    // The calls of tick `n` that begin with `start`: a function's name, or a call's first
    // arguments too.
    Lines tickCallsTo(int n, std::string_view start)
    {
        const std::string prefix =
            start.find('(') == std::string_view::npos ? std::string(start) + "(" : std::string(start);
        Lines found;
        for (std::string& call : tickCalls(n))
            if (call.starts_with(prefix))
                found.push_back(std::move(call));
        return found;
    }

    // Whether tick `n` drew a frame.
    bool drewFrame(int n) { return !tickCallsTo(n, "GetDC").empty(); }

    Harness harness;
    HWND window = nullptr;

private:
    static std::string resultOf(const std::string& call)
    {
        const auto at = call.rfind(" = ");
        return at == std::string::npos ? std::string() : call.substr(at + 3);
    }
    static void nameResult(const std::string& call, std::string_view function, const std::string& name,
                           std::map<std::string, std::string>& names)
    {
        if (call.starts_with(function) && resultOf(call) != "NULL")
            names[resultOf(call)] = name;
    }
    // Replaces each whole handle token by its name.
    static std::string withNames(const std::string& call, const std::map<std::string, std::string>& names)
    {
        std::string out;
        std::size_t i = 0;
        while (i < call.size()) {
            if (call.compare(i, 2, "0x") == 0) {
                std::size_t end = i + 2;
                while (end < call.size() && std::isxdigit(static_cast<unsigned char>(call[end])))
                    ++end;
                const std::string token = call.substr(i, end - i);
                const auto named = names.find(token);
                out += named == names.end() ? token : named->second;
                i = end;
            } else {
                out += call[i++];
            }
        }
        return out;
    }
};

}  // namespace velorin::test
