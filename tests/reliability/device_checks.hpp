// What the reliability tests look at on a device running the utility, between events.
#pragma once

#include "screen/charge_screen_dlg.h"
#include "sim/harness/harness.hpp"

#include <optional>
#include <string>

namespace velorin::reliability {

// The close prompt is up (its Dismiss button shows).
bool promptUp(sim::Harness& harness);
// The title of a shown top-level window that is not the utility's charging screen or close
// prompt, if any: the utility shows nothing else, no message and no other window.
std::optional<std::wstring> foreignWindowShown(sim::Harness& harness);
// Device threads alive: after the utility has ended, only the controller and the power manager.
int aliveThreads(sim::Harness& harness);
inline constexpr int kThreadsWithoutPrograms = 2;
// The bitmaps the charging screen holds for its life.
std::size_t bitmapsHeld(const CChargeScreenDlg& screen);
// A GDI balance problem, if any: the live objects and device contexts, with the prompt down,
// are the window's bitmaps and nothing more; `allowance` failed releases may each leave some.
std::optional<std::string> gdiImbalance(sim::Harness& harness, const CChargeScreenDlg& screen, int allowance);

}  // namespace velorin::reliability
