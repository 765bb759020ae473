// The charging screen's timers: each tick goes to its own handler, then to the default handling.
#include "screen/charge_screen_dlg.h"
#include "screen/charge_screen_messages.h"
#include "services/backlight_ramp.h"
#include "services/power_source.h"

void CChargeScreenDlg::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case TIMER_ANIMATION:
        OnAnimationTimer();
        break;
    case TIMER_KEEP_AWAKE:
        OnKeepAwakeTimer();
        break;
    case TIMER_BACKLIGHT_RAMP:
        OnBacklightRampTimer();
        break;
    case TIMER_INITIAL_HIDE:
        OnInitialHideTimer();
        break;
    default:
        break;
    }
    Default();
}

void CChargeScreenDlg::OnKeepAwakeTimer()
{
    // The device is kept awake only while the screen shows.
    if (IsWindowVisible(m_hWnd))
        PostMessageW(m_hWnd, WM_KEEP_AWAKE, 0, 0);
}

void CChargeScreenDlg::OnBacklightRampTimer()
{
    // The settings may be captured again once the ramp has put the user's back: after a run
    // that restored them, not after a charge, which leaves its own (the AC level at 10).
    if (BacklightRampTick() && m_settingsRestored)
        m_settingsReloadAllowed = TRUE;
}

void CChargeScreenDlg::OnInitialHideTimer()
{
    KillTimer(m_hWnd, TIMER_INITIAL_HIDE);
    if (LoadShared(&g_powerSource) != POWER_SOURCE_AC)
        ShowWindow(m_hWnd, SW_HIDE);
}
