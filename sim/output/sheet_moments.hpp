// Decides when the contact sheet takes a picture: for each scenario command that acts (and each
// expectation that failed), and at the end of each of the utility's sequences.
//
// A command's effect is often drawn later: a new percentage at the next animation frame, a plug
// by the sequence it starts. So a command's picture waits until the screen has caught up:
// - when the command started a sequence (a WM_STEP_ dispatch follows it), until the sequence's
//   end. The utility's sequencer ends every run with a WM_STEP_FINISH dispatch (seen in the
//   trace at level all); the step before it says which sequence it was: WM_STEP_POWER_ON ends
//   the charging sequence, WM_STEP_RESTORE_ROTATION the battery one. The finish starts the
//   backlight ramp in the dark, so the picture is taken once the backlight is on and has
//   stayed the same for kSteadyFor, at the latest kWaitAtMost after the finish (or
//   kSequenceAtMost after the command, for a sequence that does not end);
// - otherwise, until something is drawn on the screen (the next animation frame), for at most
//   kFrameWaitAtMost; a screen that stays as the command left it is shown at the command's time.
// The next scenario line that acts, and the run's end, cut any wait short. A sequence that no
// command started (the utility's own) gets a cell of its own.
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
    static constexpr DeviceTime kSequenceAtMost = 15'000;
    // Longer than the utility's animation period (900 ms): a percentage shows within it.
    static constexpr DeviceTime kFrameWaitAtMost = 1'000;

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
    // A command whose picture waits for the screen to catch up.
    struct Pending {
        DeviceTime at = 0;
        std::string where;
        std::string what;
        // The screen as the command left it: as drawn (a change of brightness alone, such as
        // a ramp, is not the screen catching up), and as seen.
        gdi::Surface leftAs;
        gdi::Surface seenAfter;
        bool sequence = false;
        std::optional<SequenceEnd> end;
    };

    // What the trace noted since the last look (under m_mutex): a step, a sequence's end.
    struct Noted {
        bool step = false;
        std::optional<SequenceEnd> end;
    };
    Noted takeNoted();
    void takeNotedIntoWaits();
    bool steadySince(DeviceTime from) const;
    void capturePending(bool changedSinceCommand);
    void captureWaiting();
    // Whatever waits is pictured now: the next line, a failed expectation or the run's end.
    void captureWaitsNow();

    Harness& m_harness;
    ContactSheet& m_sheet;
    // Written by traceLine, under m_mutex.
    std::mutex m_mutex;
    std::string m_lastStep;
    bool m_stepNoted = false;
    std::optional<SequenceEnd> m_noted;
    // The controller's own.
    std::optional<Pending> m_pending;
    bool m_inLine = false;  // between beforeLine and afterLine of a line that acts
    std::optional<SequenceEnd> m_waiting;  // a sequence that no command started
    std::optional<power::Backlight> m_backlight;
    DeviceTime m_backlightSince = 0;
};

}  // namespace velorin::sim
