// The machine's charger and battery as Linux shows them: a folder shaped as
// /sys/class/power_supply, one subfolder a supply.
#pragma once

#include <filesystem>

namespace velorin::sim {

// The values the device's battery driver reports for "unknown".
constexpr int kUnknownLineStatus = 255;
constexpr int kUnknownPercent = 255;

struct PowerSupplyReading {
    bool battery = false;                      // a present system battery was found
    int acLineStatus = kUnknownLineStatus;     // 0 battery, 1 AC
    int percent = kUnknownPercent;             // 0 to 100
    bool operator==(const PowerSupplyReading&) const = default;
};

// Never throws: a file that cannot be read or makes no sense counts as absent, so a tree in
// the middle of a change gives unknown values rather than a failure.
//
// AC: any charger (a supply that is not a battery) online; with no charger listed, the
// batteries' status (Discharging is battery, Charging, Full and Not charging are AC).
// Percent with several batteries: their capacities weighted by what each holds when full
// (energy_full or charge_full), the plain mean when one does not say, which is the share of
// the machine's whole charge that a desktop shows. Batteries of devices (a mouse's, scope
// Device) and batteries marked absent are left out.
PowerSupplyReading readPowerSupplyTree(const std::filesystem::path& root);

}  // namespace velorin::sim
