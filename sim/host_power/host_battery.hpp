// `--power host`: the device's battery follows the machine's own power supply. The watch's
// thread reads the folder; the harness's controller thread applies each change between steps.
#pragma once

#include "sim/harness/harness.hpp"
#include "sim/host_power/host_power_watch.hpp"

#include <ostream>

namespace velorin::sim {

class HostBattery {
public:
    // Applies the first reading at once (call it where a scenario's time-0 setup would run)
    // and adds a step listener that applies later ones; both the harness and this object must
    // outlive the steps that call it. `notes` hears, once, that there is no battery to follow.
    HostBattery(Harness& harness, HostPowerWatchOptions options, std::ostream& notes);
    HostBattery(const HostBattery&) = delete;
    HostBattery& operator=(const HostBattery&) = delete;

    // What the device was last told.
    const std::optional<PowerSupplyReading>& applied() const { return m_applied; }

private:
    void apply(const PowerSupplyReading& reading);

    Harness& m_harness;
    std::ostream& m_notes;
    bool m_told = false;
    std::optional<PowerSupplyReading> m_applied;
    HostPowerWatch m_watch;
};

}  // namespace velorin::sim
