// The utility on a simulated device, as the benchmarks run it: booted on battery, then on the
// charger, with the trace passed on but not kept, so that a run of days holds no history.
#pragma once

#include "sim/harness/harness.hpp"

#include <memory>
#include <ostream>

namespace velorin::bench {

inline constexpr kernel::DeviceTime kDeviceHour = 3'600'000;
inline constexpr int kBatteryPercent = 50;

enum class Suspend { AsTheHiveSays, Never };

// Boots and starts the utility on battery; `traceSink`, if given, hears each trace line. With
// Suspend::Never the device stays awake on battery, so that the utility's timers keep running.
inline std::unique_ptr<sim::Harness> bootUtility(kernel::ClockMode clock = kernel::ClockMode::Virtual,
                                                 std::ostream* traceSink = nullptr,
                                                 Suspend suspend = Suspend::AsTheHiveSays,
                                                 kernel::RunMode run = kernel::RunMode::Serial)
{
    sim::HarnessOptions options;
    options.device.clock = clock;
    options.device.run = run;
    options.traceSink = traceSink;
    auto harness = std::make_unique<sim::Harness>(options);
    harness->trace().setKeepLines(false);
    harness->power(0, kBatteryPercent);
    if (suspend == Suspend::Never)
        harness->setRegistryValue(registry::Root::LocalMachine, L"System\\CurrentControlSet\\Control\\Power\\Timeouts",
                                  registry::dwordValue(L"BattSuspend", 0));
    harness->launch();
    harness->settle();
    return harness;
}

// Boots, starts the utility on battery and connects the charger: the charging run begins.
inline std::unique_ptr<sim::Harness> startCharging(kernel::RunMode run = kernel::RunMode::Serial)
{
    auto harness = bootUtility(kernel::ClockMode::Virtual, nullptr, Suspend::AsTheHiveSays, run);
    harness->power(1, kBatteryPercent);
    return harness;
}

}  // namespace velorin::bench
