// The progress line of a long run on a terminal: "device time 12m 30s, 400x real time", or with
// the end known "device time 12m 30s of 1h (20%, 47m 30s left), 400x real time", rewritten in place, and wiped when the run ends. The host's clock is read here only, for
// people; nothing the device does depends on it.
#pragma once

#include "sim/scenario/device_time.hpp"

#include <functional>
#include <optional>
#include <ostream>

namespace velorin::sim {

class ProgressMeter {
public:
    // Seconds of host time since some fixed moment.
    using HostClock = std::function<double()>;
    // Nothing is shown for the first kQuietFor seconds, then at most every kEvery seconds.
    static constexpr double kQuietFor = 3.0;
    static constexpr double kEvery = 0.25;

    ProgressMeter(std::ostream& out, DeviceTime startedAt, HostClock clock = steadyClock());

    // The device time at which the run ends, when it is known.
    void endsAt(DeviceTime end) { m_deviceEnd = end; }
    void update(DeviceTime now);
    // Wipes the line, if one was shown.
    void finish();
    bool shown() const { return m_width > 0; }

    static HostClock steadyClock();

private:
    std::ostream& m_out;
    HostClock m_clock;
    DeviceTime m_deviceStart;
    std::optional<DeviceTime> m_deviceEnd;
    double m_hostStart;
    double m_lastShown = -1;
    std::size_t m_width = 0;  // of the line on the terminal
};

}  // namespace velorin::sim
