// The power manager of the CE layer: its named events, the system power state and the
// backlight "BKL1:". Its events are watched by the process that hosts it (the scenario player,
// or the utility on its own), which records each signal as the device does.
#pragma once

namespace velorin::ce {

// In the host: makes the named events and starts watching them.
void startPowerManager();
void stopPowerManager();

}  // namespace velorin::ce
