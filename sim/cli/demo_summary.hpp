// What the built-in demo prints when it ends: what happened, where the files are, and the user's
// settings that the utility changes while it charges and must put back, before and after.
#pragma once

#include "sim/harness/harness.hpp"
#include "sim/output/contact_sheet.hpp"

#include <ostream>
#include <string>
#include <vector>

namespace velorin::sim {

struct UserSetting {
    std::string name;   // "HKCU\ControlPanel\BackLight AcBacklightLevel"
    std::string value;  // "dword:8", or "absent"
};

// The registry values of the user that the utility saves and restores, as they are now.
std::vector<UserSetting> readUserSettings(Harness& harness);

void printUserSettings(std::ostream& out, const std::vector<UserSetting>& before,
                       const std::vector<UserSetting>& after);

// One line per moment of the sheet: its device time and what happened.
void printMoments(std::ostream& out, const std::vector<SheetCell>& cells);

}  // namespace velorin::sim
