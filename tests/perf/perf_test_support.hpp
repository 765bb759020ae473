// Exact counts of what the utility costs its device: the messages dispatched (from the trace's
// dispatch lines, passed on but not kept) and the wake-ups of each device thread.
#pragma once

#include "sim/harness/harness.hpp"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace velorin::test {

using sim::ProcessId;

inline constexpr kernel::DeviceTime kDeviceHour = 3'600'000;

// Counts the dispatch lines of the trace: WM_TIMER by timer id, and every other message.
class DispatchCounter : public std::streambuf {
public:
    std::map<UINT_PTR, long> timerTicks;
    long otherMessages = 0;

    void reset()
    {
        timerTicks.clear();
        otherMessages = 0;
    }

protected:
    int_type overflow(int_type c) override
    {
        if (c == '\n') {
            count(m_line);
            m_line.clear();
        } else if (c != traits_type::eof()) {
            m_line += static_cast<char>(c);
        }
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        for (std::streamsize i = 0; i < n; ++i)
            overflow(traits_type::to_int_type(s[i]));
        return n;
    }

private:
    // "<ms> dispatch hwnd=<h> <message> wparam=<n> lparam=<n>"
    void count(const std::string& line)
    {
        std::vector<std::string> words;
        for (std::size_t at = 0; at < line.size();) {
            const std::size_t end = std::min(line.find(' ', at), line.size());
            words.push_back(line.substr(at, end - at));
            at = end + 1;
        }
        if (words.size() < 5 || words[1] != "dispatch")
            return;
        if (words[3] == "WM_TIMER" && words[4].rfind("wparam=", 0) == 0)
            ++timerTicks[std::stoul(words[4].substr(7))];
        else
            ++otherMessages;
    }

    std::string m_line;
};

// Wake-ups so far of the utility's two threads (its window's and its power monitor's) and of
// the power manager's worker.
struct Wakeups {
    std::uint64_t window = 0;
    std::uint64_t monitor = 0;
    std::uint64_t powerManager = 0;
    int utilityThreads = 0;

    Wakeups operator-(const Wakeups& before) const
    {
        return Wakeups{window - before.window, monitor - before.monitor, powerManager - before.powerManager,
                       utilityThreads};
    }
};

inline Wakeups wakeups(sim::Harness& harness, ProcessId utility)
{
    std::lock_guard lock(harness.device().kernel().mutex());
    Wakeups out;
    // The utility's main thread, which owns the window, starts first; the monitor is its one
    // other thread.
    for (const auto& thread : harness.device().scheduler().activityLocked()) {
        if (thread.pid == utility && !thread.controller) {
            (out.utilityThreads == 0 ? out.window : out.monitor) = thread.wakeups;
            ++out.utilityThreads;
        } else if (thread.name == "power manager") {
            out.powerManager = thread.wakeups;
        }
    }
    return out;
}

}  // namespace velorin::test
