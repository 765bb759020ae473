// Decides when the contact sheet takes a picture: after each scenario command that acts (and
// after an expectation that failed), and at the end of each of the utility's sequences.
//
// The utility's sequencer ends every run with a WM_STEP_FINISH dispatch (seen in the trace
// at level all); the step before it says which sequence it was: WM_STEP_POWER_ON ends the
// charging sequence, WM_STEP_RESTORE_ROTATION the battery one. The finish starts the backlight
// ramp in the dark, so the picture is taken once the backlight is on and has stayed the same
// for kSteadyFor, at the latest kWaitAtMost after the finish, before the next scenario line
// that acts (not an expectation), or at the end of the run.
#pragma once

#include "power/brightness.hpp"
#include "sim/harness/harness.hpp"
#include "sim/output/contact_sheet.hpp"
#include "sim/scenario/scenario.hpp"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace velorin::sim {

class SheetMoments {
public:
    static constexpr DeviceTime kSteadyFor = 500;
    static constexpr DeviceTime kWaitAtMost = 5'000;

    SheetMoments(Harness& harness, ContactSheet& sheet) : m_harness(harness), m_sheet(sheet) {}

    // Each trace line, as the device writes it (on any device thread, under the kernel lock).
    void traceLine(std::string_view line);
    // The scenario player's hooks.
    void beforeLine(const ScenarioLine& line);
    void afterLine(const ScenarioLine& line, const std::optional<std::string>& failure);
    // After each step of the harness.
    void afterStep();
    // The run has ended.
    void finish();

    // A scenario line without its time: "tap 10 20".
    static std::string commandText(const ScenarioLine& line);
    static bool isExpectation(const ScenarioLine& line);

private:
    struct SequenceEnd {
        DeviceTime at = 0;
        std::string what;
    };

    // The sequence end noted by the trace, if any, moved to m_waiting.
    void takeNoted();
    void captureWaiting();

    Harness& m_harness;
    ContactSheet& m_sheet;
    // Written by traceLine, under m_mutex.
    std::mutex m_mutex;
    std::string m_lastStep;
    std::optional<SequenceEnd> m_noted;
    // The controller's own.
    std::optional<SequenceEnd> m_waiting;
    std::optional<power::Backlight> m_backlight;
    DeviceTime m_backlightSince = 0;
};

}  // namespace velorin::sim
