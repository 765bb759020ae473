// Each process's power watcher: a thread with a hidden top-level window, which is how desktop
// Windows tells programs of power changes (WM_POWERBROADCAST). Reports of the device's battery
// driver reach it by a message of their own, with the reading; it writes them into the
// process's subscribed queues. In the process that hosts the power manager it also follows the machine's
// own charger, when no scenario drives the device.
#pragma once

#include "battery.hpp"

#include <windows.h>

namespace velorin::ce {

// Starts this process's watcher once, without waiting for it (from the module's start).
void launchPowerWatcher();
// Starts it if need be and waits until its window exists.
void startPowerWatcher();
void stopPowerWatcher();
// Tells every process's watcher of a report of the battery driver, and waits until each has
// written it into its queues.
void announceReport(PowerReading reading);

}  // namespace velorin::ce
