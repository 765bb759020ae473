// The charging screen's own messages, its timers and the sequencer's start markers.
#pragma once

#include <windows.h>

inline constexpr UINT WM_KEEP_AWAKE = WM_APP + 101;
inline constexpr UINT WM_RESTORE_AND_EXIT = WM_APP + 102;

// The sequencer: a request to advance, and one message per step.
inline constexpr UINT WM_SEQ_ADVANCE = WM_APP + 1000;
inline constexpr UINT WM_STEP_BACKLIGHT_ON = WM_APP + 1001;
inline constexpr UINT WM_STEP_BACKLIGHT_OFF = WM_APP + 1002;
inline constexpr UINT WM_STEP_SET_BATTERY_BACKLIGHT = WM_APP + 1003;
inline constexpr UINT WM_STEP_SET_AC_BACKLIGHT = WM_APP + 1004;
inline constexpr UINT WM_STEP_WRITE_AUTOROTATE = WM_APP + 1005;
inline constexpr UINT WM_STEP_DISABLE_DIM = WM_APP + 1006;
inline constexpr UINT WM_STEP_ROTATE_FOR_CHARGING = WM_APP + 1007;
inline constexpr UINT WM_STEP_SHOW = WM_APP + 1008;
inline constexpr UINT WM_STEP_HIDE = WM_APP + 1009;
inline constexpr UINT WM_STEP_FOREGROUND = WM_APP + 1010;
inline constexpr UINT WM_STEP_POWER_ON = WM_APP + 1011;
inline constexpr UINT WM_STEP_RELOAD_SETTINGS = WM_APP + 1012;
inline constexpr UINT WM_STEP_RESTORE_ROTATION = WM_APP + 1013;
inline constexpr UINT WM_STEP_FINISH = WM_APP + 1014;
inline constexpr UINT WM_STEP_PAUSE = WM_APP + 1015;

// Values of the sequencer's current step that are never posted.
inline constexpr UINT SEQ_IDLE = WM_APP;
inline constexpr UINT SEQ_START_AC = WM_APP + 2001;
inline constexpr UINT SEQ_START_BATTERY = WM_APP + 2002;

inline constexpr UINT_PTR TIMER_ANIMATION = 1;
inline constexpr UINT_PTR TIMER_KEEP_AWAKE = 2;
inline constexpr UINT_PTR TIMER_BACKLIGHT_RAMP = 3;
inline constexpr UINT_PTR TIMER_INITIAL_HIDE = 4;

inline constexpr UINT kAnimationPeriodMs = 900;
inline constexpr UINT kKeepAwakePeriodMs = 10000;
inline constexpr UINT kBacklightRampPeriodMs = 100;
inline constexpr UINT kInitialHidePeriodMs = 80;
