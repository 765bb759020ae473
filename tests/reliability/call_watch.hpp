// Watches every platform call of the programs on a device, as it is traced, for a handle that is
// no longer live: a destroyed window, a closed kernel object or registry key, a deleted GDI
// object or device context. It also keeps what the checks after each event ask about: the
// faults injected, the GDI leaks at process ends.
#pragma once

#include "sim/harness/harness.hpp"

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace velorin::reliability {

// Functions that put a GDI object back or free it: when one of them fails, an object stays, as
// it would on the device.
inline constexpr std::string_view kGdiRelease[] = {"DeleteObject", "DeleteDC", "ReleaseDC", "EndPaint", "SelectObject"};

// One traced call line, taken apart: "<ms> call F(a, b) = r".
struct CallLine {
    std::string function;
    std::vector<std::string> args;  // top level, as printed
    std::string result;             // empty for a function without one
};
// Nothing when the line is not a call line.
std::optional<CallLine> parseCallLine(std::string_view line);

class CallWatch {
public:
    // Hooks itself into the harness's trace sink and fault plan. The harness must have been made
    // with `sink()` as its trace sink; install() adds the fault-plan hook, and must be called
    // again after every clear() of the plan.
    CallWatch();
    CallWatch(const CallWatch&) = delete;
    CallWatch& operator=(const CallWatch&) = delete;

    std::ostream& sink() { return m_stream; }
    void attach(sim::Harness& harness);
    void install();

    // What went wrong so far, in order.
    const std::vector<std::string>& violations() const { return m_violations; }
    // Faults injected into calls, by function, and the number of GDI leaks reported at
    // process ends.
    const std::map<std::string, int, std::less<>>& faults() const { return m_faults; }
    int faultsOn(std::string_view function) const;
    int gdiLeaks() const { return m_gdiLeaks; }
    // Faults injected into the calls that free or put back GDI objects, which leave an object
    // behind when they fail.
    int gdiReleaseFaults() const;
    // Windows shown ("window.show") that the checks look at for silence.
    const std::vector<std::string>& shownWindows() const { return m_shown; }
    const std::vector<std::string>& titles() const { return m_titles; }

private:
    class LineBuffer : public std::streambuf {
    public:
        explicit LineBuffer(CallWatch& owner) : m_owner(owner) {}

    protected:
        int overflow(int c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;

    private:
        CallWatch& m_owner;
        std::string m_line;
    };

    // Both run under the kernel lock, on the thread that makes the call.
    void onCallStart();
    void onLine(const std::string& line);
    void checkCall(const CallLine& call, const std::string& line);
    void checkRunaway(const std::string& line, std::size_t space);
    bool liveLocked(std::uintptr_t value) const;
    bool destroyedDuring(std::size_t from, const std::string& handle) const;

    LineBuffer m_buffer;
    std::ostream m_stream;
    sim::Harness* m_harness = nullptr;
    // Where each thread's calls began, as the trace's line count then: a handle that dies
    // during a call (a window destroyed by a message it sent) was live when it was passed.
    std::map<const void*, std::vector<std::size_t>> m_callStarts;
    std::vector<std::string> m_violations;
    std::map<std::string, int, std::less<>> m_faults;
    std::vector<std::string> m_shown;
    std::vector<std::string> m_titles;
    int m_gdiLeaks = 0;
    // Lines traced at one device time; a device never does this much in one instant.
    static constexpr std::size_t kRunawayLines = 200000;
    static constexpr std::size_t kSpinLines = 3000;
    std::string m_lastTime;
    std::size_t m_linesAtThisTime = 0;
    std::size_t m_linesWithoutDispatch = 0;
};

}  // namespace velorin::reliability
