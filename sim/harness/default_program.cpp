// The utility as the program the harness starts by default, with its own messages' names for the trace.
#include "sim/harness/program.hpp"

#include "app/charge_screen_app.h"
#include "app/process_globals.h"
#include "sim/harness/velorin_resources.hpp"
#include "screen/charge_screen_messages.h"

namespace velorin::sim {

namespace {

std::vector<std::pair<UINT, std::string>> utilityMessageNames()
{
    return {
        {WM_KEEP_AWAKE, "WM_KEEP_AWAKE"},
        {WM_RESTORE_AND_EXIT, "WM_RESTORE_AND_EXIT"},
        {WM_SEQ_ADVANCE, "WM_SEQ_ADVANCE"},
        {WM_STEP_BACKLIGHT_ON, "WM_STEP_BACKLIGHT_ON"},
        {WM_STEP_BACKLIGHT_OFF, "WM_STEP_BACKLIGHT_OFF"},
        {WM_STEP_SET_BATTERY_BACKLIGHT, "WM_STEP_SET_BATTERY_BACKLIGHT"},
        {WM_STEP_SET_AC_BACKLIGHT, "WM_STEP_SET_AC_BACKLIGHT"},
        {WM_STEP_WRITE_AUTOROTATE, "WM_STEP_WRITE_AUTOROTATE"},
        {WM_STEP_DISABLE_DIM, "WM_STEP_DISABLE_DIM"},
        {WM_STEP_ROTATE_FOR_CHARGING, "WM_STEP_ROTATE_FOR_CHARGING"},
        {WM_STEP_SHOW, "WM_STEP_SHOW"},
        {WM_STEP_HIDE, "WM_STEP_HIDE"},
        {WM_STEP_FOREGROUND, "WM_STEP_FOREGROUND"},
        {WM_STEP_POWER_ON, "WM_STEP_POWER_ON"},
        {WM_STEP_RELOAD_SETTINGS, "WM_STEP_RELOAD_SETTINGS"},
        {WM_STEP_RESTORE_ROTATION, "WM_STEP_RESTORE_ROTATION"},
        {WM_STEP_FINISH, "WM_STEP_FINISH"},
        {WM_STEP_PAUSE, "WM_STEP_PAUSE"},
    };
}

}  // namespace

Program defaultProgram()
{
    return Program{"velorin",  &VelorinMain,         res::resourceModule(),
                   L"Velorin", &ResetProcessGlobals, utilityMessageNames()};
}

}  // namespace velorin::sim
