// The progress line of a long run on a terminal.
#include "sim/output/progress_meter.hpp"

#include "sim/output/readable_time.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

namespace velorin::sim {

ProgressMeter::HostClock ProgressMeter::steadyClock()
{
    return [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); };
}

ProgressMeter::ProgressMeter(std::ostream& out, DeviceTime startedAt, HostClock clock)
    : m_out(out), m_clock(std::move(clock)), m_deviceStart(startedAt), m_hostStart(m_clock())
{
}

void ProgressMeter::update(DeviceTime now)
{
    const double host = m_clock() - m_hostStart;
    if (host < kQuietFor || (m_lastShown >= 0 && host - m_lastShown < kEvery))
        return;
    m_lastShown = host;
    const double factor = static_cast<double>(now - m_deviceStart) / 1000.0 / host;
    std::string line = "device time " + readableTime(now);
    if (m_deviceEnd && *m_deviceEnd > m_deviceStart) {
        const DeviceTime done = std::min(now, *m_deviceEnd) - m_deviceStart;
        const long long percent = done * 100 / (*m_deviceEnd - m_deviceStart);
        line += " of " + readableTime(*m_deviceEnd) + " (" + std::to_string(percent) + "%, " +
                readableTime(*m_deviceEnd - std::min(now, *m_deviceEnd)) + " left)";
    }
    line += ", ";
    if (factor >= 10)
        line += std::to_string(static_cast<long long>(std::llround(factor))) + "x real time";
    else
        line += std::to_string(static_cast<long long>(std::llround(factor * 10)) / 10) + "." +
                std::to_string(static_cast<long long>(std::llround(factor * 10)) % 10) + "x real time";
    // Spaces wipe what is left of a longer line before it.
    const std::size_t width = line.size();
    if (line.size() < m_width)
        line.append(m_width - line.size(), ' ');
    m_out << '\r' << line << std::flush;
    m_width = width;
}

void ProgressMeter::finish()
{
    if (m_width == 0)
        return;
    m_out << '\r' << std::string(m_width, ' ') << '\r' << std::flush;
    m_width = 0;
}

}  // namespace velorin::sim
