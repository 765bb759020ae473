// `--power host`: the device's battery following the machine's own power supply.
#include "sim/host_power/host_battery.hpp"

namespace velorin::sim {

HostBattery::HostBattery(Harness& harness, HostPowerWatchOptions options, std::ostream& notes)
    : m_harness(harness), m_notes(notes), m_watch(std::move(options))
{
    apply(m_watch.first());
    m_harness.addStepListener([this] {
        if (const auto reading = m_watch.take())
            apply(*reading);
    });
}

void HostBattery::apply(const PowerSupplyReading& reading)
{
    if (!reading.battery) {
        // The device keeps what it had: the scenario's or the keys' battery.
        if (!m_told)
            m_notes << "velorin-sim: --power host: no battery in " << m_watch.root().string()
                    << "; the device stays on its scenario and keys\n";
        m_told = true;
        m_applied.reset();
        return;
    }
    // Only what changed: the device hears one report either way.
    std::optional<int> line;
    std::optional<int> percent;
    if (!m_applied || m_applied->acLineStatus != reading.acLineStatus)
        line = reading.acLineStatus;
    if (!m_applied || m_applied->percent != reading.percent)
        percent = reading.percent;
    m_applied = reading;
    if (line || percent)
        m_harness.power(line, percent);
}

}  // namespace velorin::sim
