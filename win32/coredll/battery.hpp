// The battery driver of the CE layer: its reading, the records programs get of it, and its
// reports, which reach every subscribed queue of every process of the device.
#pragma once

#include <windows.h>
#include <pm.h>

// The records are the device's own, so that both report a reading alike.
#include "platform/power/power_records.hpp"

#include <optional>

namespace velorin::ce {

struct PowerReading {
    BYTE acLineStatus = AC_LINE_UNKNOWN;
    BYTE percent = BATTERY_PERCENTAGE_UNKNOWN;
    bool operator==(const PowerReading&) const = default;
};

PowerReading currentReading();
SYSTEM_POWER_STATUS_EX2 powerStatus(PowerReading reading);
using power::PowerInfoMessage;
PowerInfoMessage powerInfoMessage(PowerReading reading);

// One report of the battery driver: what is given changes, the trace records the reading, and
// every process's subscriptions hear of it before this returns.
void reportPower(std::optional<BYTE> acLineStatus, std::optional<BYTE> percent);

// The machine's own power status, as desktop Windows reports it.
PowerReading machineReading();
// A report of the machine's status when it differs from the device's reading, unless a scenario
// drives the battery: decided under the device's lock, so that a scenario's start in another
// process is never overwritten by the machine.
void reportMachinePower(PowerReading machine);

}  // namespace velorin::ce
