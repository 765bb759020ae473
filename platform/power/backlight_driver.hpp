// The backlight driver "BKL1:": the power state programs ask for, the level it reads from the
// registry, and the limit the power manager puts on it while the device idles. Members named
// ...Locked run under the kernel lock.
#pragma once

#include "kernel/kernel.hpp"
#include "power/battery_driver.hpp"
#include "power/brightness.hpp"
#include "power/pm.h"
#include "registry/registry.hpp"

namespace velorin::power {

inline constexpr wchar_t kBacklightDevice[] = L"BKL1:";
// The level of a dimmed backlight (at most; a lower level stays as it is).
inline constexpr int kDimLevel = 1;

// What the power manager allows the backlight in the system's present state.
enum class BacklightLimit { Full, Dim, Off };

class BacklightDriver {
public:
    BacklightDriver(kernel::Kernel& kernel, registry::Registry& registry, const BatteryDriver& battery);
    BacklightDriver(const BacklightDriver&) = delete;
    BacklightDriver& operator=(const BacklightDriver&) = delete;

    // A device power request. D0 reads the level for the present line from the registry:
    // "AcBacklightLevel" on AC (line status 1), "BatteryBacklightLevel" otherwise, taken as a
    // signed number and clamped to 0..10; a missing value keeps the level. D1 dims; D2 to D4
    // turn the backlight off.
    void setPowerStateLocked(CEDEVICE_POWER_STATE state);
    void setLimitLocked(BacklightLimit limit);

    // What the user sees; the device boots with it on at full level, until the first request.
    Backlight seenLocked() const { return m_seen; }

private:
    // Works out what is seen and traces a change.
    void updateLocked();

    kernel::Kernel& m_kernel;
    registry::Registry& m_registry;
    const BatteryDriver& m_battery;
    CEDEVICE_POWER_STATE m_state = D0;
    int m_level = kMaxBacklightLevel;
    BacklightLimit m_limit = BacklightLimit::Full;
    Backlight m_seen;
};

}  // namespace velorin::power
