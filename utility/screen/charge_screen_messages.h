// The charging screen's own messages, its timers and the sequencer's start markers.
#ifndef VELORIN_SCREEN_CHARGE_SCREEN_MESSAGES_H
#define VELORIN_SCREEN_CHARGE_SCREEN_MESSAGES_H

#include "services/sequencer_requests.h"

#include <windows.h>

const UINT WM_KEEP_AWAKE = WM_APP + 101;
const UINT WM_RESTORE_AND_EXIT = WM_APP + 102;

// The sequencer: a request to advance (WM_SEQ_ADVANCE, with the power monitor), and one message
// per step.
const UINT WM_STEP_BACKLIGHT_ON = WM_APP + 1001;
const UINT WM_STEP_BACKLIGHT_OFF = WM_APP + 1002;
const UINT WM_STEP_SET_BATTERY_BACKLIGHT = WM_APP + 1003;
const UINT WM_STEP_SET_AC_BACKLIGHT = WM_APP + 1004;
const UINT WM_STEP_WRITE_AUTOROTATE = WM_APP + 1005;
const UINT WM_STEP_DISABLE_DIM = WM_APP + 1006;
const UINT WM_STEP_ROTATE_FOR_CHARGING = WM_APP + 1007;
const UINT WM_STEP_SHOW = WM_APP + 1008;
const UINT WM_STEP_HIDE = WM_APP + 1009;
const UINT WM_STEP_FOREGROUND = WM_APP + 1010;
const UINT WM_STEP_POWER_ON = WM_APP + 1011;
const UINT WM_STEP_RELOAD_SETTINGS = WM_APP + 1012;
const UINT WM_STEP_RESTORE_ROTATION = WM_APP + 1013;
const UINT WM_STEP_FINISH = WM_APP + 1014;
const UINT WM_STEP_PAUSE = WM_APP + 1015;

// Values of the sequencer's current step that are never posted.
const UINT SEQ_IDLE = WM_APP;
const UINT SEQ_START_AC = WM_APP + 2001;
const UINT SEQ_START_BATTERY = WM_APP + 2002;

const UINT_PTR TIMER_ANIMATION = 1;
const UINT_PTR TIMER_KEEP_AWAKE = 2;
const UINT_PTR TIMER_BACKLIGHT_RAMP = 3;
const UINT_PTR TIMER_INITIAL_HIDE = 4;

const UINT kAnimationPeriodMs = 900;
const UINT kKeepAwakePeriodMs = 10000;
const UINT kBacklightRampPeriodMs = 100;
const UINT kInitialHidePeriodMs = 80;

#endif
