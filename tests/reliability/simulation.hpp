// Simulation testing of the utility: per seed, a random scenario against a random fault plan in
// virtual time, with checks after every event and a liveness phase at the end.
#pragma once

#include "kernel/scheduler.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velorin::reliability {

// Bugs a canary plants on purpose, to show that the checks catch them. Test-only.
enum class Sabotage {
    None,
    LoseDimSetting,      // the saved dim setting is flipped, as the sequence without its mend loses it
    CorruptSavedLevel,   // the saved AC level is off by one when Close restores it
    LeakGdiObject,       // a GDI object is left behind after a frame
    UseClosedHandle,     // the stop event is closed under the utility, which then signals it
    LeaveThreadRunning,  // a thread outlives the utility
    StallSequencer,      // a run is left pending with no message of it in the queue
    DismissOnBattery,    // a Dismiss after the charger has gone marks the source dismissed
};

struct SimulationResult {
    std::uint64_t seed = 0;
    std::vector<std::string> failures;
    // The events as they ran, in scenario syntax where one exists, with the fault plan.
    std::vector<std::string> log;
    std::uint64_t traceHash = 0;
    bool faulted = false;

    bool passed() const { return failures.empty(); }
    // The seed, what failed and the scenario, for a failing seed's report.
    std::string report() const;
};

// The run mode is the seed's (see runModeFor) unless given.
SimulationResult runSimulation(std::uint64_t seed, Sabotage sabotage = Sabotage::None,
                               std::optional<kernel::RunMode> run = std::nullopt);

// The seeds of a run: VELORIN_SEED alone when set; otherwise `count` seeds drawn from `base`.
std::vector<std::uint64_t> freshSeeds(std::uint64_t base, std::size_t count);
// A number from the environment, or nothing.
std::optional<std::uint64_t> seedFromEnvironment(const char* name);
// The base of the fresh seeds: a hash of the commit the build was configured from.
std::uint64_t commitSeedBase();
const char* commitName();

}  // namespace velorin::reliability
