// The transition sequencer: a request starts the sequence of the current power source, and
// each step, a message of its own, does one thing and asks for the next.
#include "screen/charge_screen_dlg.h"
#include "screen/charge_screen_messages.h"
#include "services/backlight_ramp.h"
#include "services/device_controls.h"
#include "services/platform_kind.h"
#include "services/power_source.h"
#include "services/saved_settings.h"

namespace {

// The level the two backlight steps write: one above the ramp's highest.
const LPARAM kStepBacklightLevel = 11;

struct NextStep {
    UINT message;
    LPARAM lParam;
};

bool Found(NextStep* next, UINT message, LPARAM lParam)
{
    next->message = message;
    next->lParam = lParam;
    return true;
}

// The AC table, without its last row (the finish ends the run); false for a step without a row.
bool AcNextStep(UINT current, NextStep* next)
{
    switch (current) {
    case SEQ_START_AC:
        return Found(next, WM_STEP_RELOAD_SETTINGS, 0);
    case WM_STEP_RELOAD_SETTINGS:
        return Found(next, WM_STEP_BACKLIGHT_OFF, 0);
    case WM_STEP_BACKLIGHT_OFF:
        return Found(next, WM_STEP_SET_AC_BACKLIGHT, kStepBacklightLevel);
    case WM_STEP_SET_AC_BACKLIGHT:
        return Found(next, WM_STEP_WRITE_AUTOROTATE, 0);
    case WM_STEP_WRITE_AUTOROTATE:
        return Found(next, WM_STEP_DISABLE_DIM, 0);
    case WM_STEP_DISABLE_DIM:
        return Found(next, WM_STEP_PAUSE, 0);
    case WM_STEP_PAUSE:
        return Found(next, WM_STEP_ROTATE_FOR_CHARGING, 0);
    case WM_STEP_ROTATE_FOR_CHARGING:
        return Found(next, WM_STEP_SHOW, 0);
    case WM_STEP_SHOW:
        return Found(next, WM_STEP_FOREGROUND, 0);
    case WM_STEP_FOREGROUND:
        return Found(next, WM_STEP_POWER_ON, 0);
    case WM_STEP_POWER_ON:
        return Found(next, WM_STEP_FINISH, 0);
    default:
        return false;
    }
}

// The battery table after its start, for battery (0) or dismissed (3).
bool BatteryNextStep(UINT current, LONG source, NextStep* next)
{
    switch (current) {
    case SEQ_START_BATTERY:
        return Found(next, WM_STEP_BACKLIGHT_OFF, 0);
    case WM_STEP_BACKLIGHT_OFF:
        return Found(next, source == POWER_SOURCE_DISMISSED ? WM_STEP_SET_AC_BACKLIGHT : WM_STEP_SET_BATTERY_BACKLIGHT,
                     kStepBacklightLevel);
    case WM_STEP_SET_BATTERY_BACKLIGHT:
    case WM_STEP_SET_AC_BACKLIGHT:
        return Found(next, WM_STEP_HIDE, 0);
    case WM_STEP_HIDE:
        return Found(next, WM_STEP_RESTORE_ROTATION, 0);
    case WM_STEP_RESTORE_ROTATION:
        return Found(next, WM_STEP_FINISH, 0);
    default:
        return false;
    }
}

}  // namespace

LRESULT CChargeScreenDlg::OnSeqAdvance(WPARAM, LPARAM lParam)
{
    // Sent, so the user's settings are back and the run is ending before anything else.
    if (g_closeRequested)
        SendMessageW(m_hWnd, WM_RESTORE_AND_EXIT, 0, 0);

    if (lParam == SEQ_RUN_REQUEST) {
        const LONG source = LoadShared(&g_powerSource);
        if (source == POWER_SOURCE_BATTERY || source == POWER_SOURCE_DISMISSED)
            m_currentStep = SEQ_START_BATTERY;
        else if (source == POWER_SOURCE_AC)
            m_currentStep = SEQ_START_AC;
        else
            m_currentStep = SEQ_IDLE;
        ++m_pendingRuns;
    }
    if (m_pendingRuns <= 0)
        return 0;
    if (m_pendingRuns > 1) {
        // A run is under way; its next advance dispatches the new start.
        --m_pendingRuns;
        return 0;
    }
    DispatchStep();
    return 0;
}

void CChargeScreenDlg::DispatchStep()
{
    const LONG source = LoadShared(&g_powerSource);
    const bool ac = source == POWER_SOURCE_AC;
    if (!ac && source != POWER_SOURCE_BATTERY && source != POWER_SOURCE_DISMISSED) {
        // No sequence for this source: the run ends, so the next request starts afresh.
        m_pendingRuns = 0;
        return;
    }
    if (m_currentStep == WM_STEP_FINISH && ac == m_runOnAc) {
        m_pendingRuns = 0;
        return;
    }
    if (m_currentStep == WM_STEP_FINISH) {
        // The source changed while the last step was queued, and its request was absorbed: the
        // run ends in the new source's sequence instead of leaving it unseen for a whole charge.
        m_currentStep = ac ? SEQ_START_AC : SEQ_START_BATTERY;
    }
    m_runOnAc = ac;
    NextStep next;
    if (!(ac ? AcNextStep(m_currentStep, &next) : BatteryNextStep(m_currentStep, source, &next))) {
        // A step of the other source's sequence: the device is brought to this source's whole
        // state from its start, rather than left half-way.
        m_currentStep = ac ? SEQ_START_AC : SEQ_START_BATTERY;
        if (ac)
            AcNextStep(m_currentStep, &next);
        else
            BatteryNextStep(m_currentStep, source, &next);
    }
    if (m_currentStep == SEQ_START_AC) {
        m_firstRun = FALSE;
    } else if (m_currentStep == SEQ_START_BATTERY && m_firstRun) {
        // The first run on battery only hides the window.
        ShowWindow(m_hWnd, SW_HIDE);
        m_firstRun = FALSE;
        --m_pendingRuns;
        return;
    }
    // A step that cannot be posted would leave the run pending with nothing of it queued, and
    // every later request absorbed: the run ends instead, so the next request starts afresh.
    if (!PostMessageW(m_hWnd, next.message, 0, next.lParam))
        m_pendingRuns = 0;
}

void CChargeScreenDlg::RequestRun()
{
    // A request that cannot be posted is handled at once: a Close would otherwise wait for the
    // next power report, with further taps on the symbol ignored until then.
    if (!PostMessageW(m_hWnd, WM_SEQ_ADVANCE, 0, SEQ_RUN_REQUEST))
        OnSeqAdvance(0, SEQ_RUN_REQUEST);
}

void CChargeScreenDlg::PostAdvance()
{
    // As for a step that cannot be posted: a lost advance ends the run.
    if (!PostMessageW(m_hWnd, WM_SEQ_ADVANCE, 0, SEQ_NEXT_STEP))
        m_pendingRuns = 0;
}

LRESULT CChargeScreenDlg::OnStepBacklightOn(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_BACKLIGHT_ON;
    RequestBacklightPower(D0);
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepBacklightOff(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_BACKLIGHT_OFF;
    // Every run changes the settings from this step on. A battery run that starts while the
    // registry still holds the user's settings (its charge was never seen) takes them first, so
    // that what it puts back is theirs; and a run cut short by a request never reaches the ramp
    // that puts them back, so no reload may capture the run's values until a ramp has.
    CaptureSettingsIfAllowed();
    m_settingsRestored = FALSE;
    RequestBacklightPower(D4);
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepSetBatteryBacklight(WPARAM, LPARAM lParam)
{
    m_currentStep = WM_STEP_SET_BATTERY_BACKLIGHT;
    WriteBacklightLevel(kBatteryBacklightLevel, static_cast<LONG>(lParam));
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepSetAcBacklight(WPARAM, LPARAM lParam)
{
    m_currentStep = WM_STEP_SET_AC_BACKLIGHT;
    WriteBacklightLevel(kAcBacklightLevel, static_cast<LONG>(lParam));
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepWriteAutoRotate(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_WRITE_AUTOROTATE;
    WriteAutoRotateMasked();
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepDisableDim(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_DISABLE_DIM;
    DisableDimSetting();
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepRotateForCharging(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_ROTATE_FOR_CHARGING;
    SetDisplayOrientation(m_platformKind == kPlatformKind511 ? DMDO_270 : DMDO_90);
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepShow(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_SHOW;
    ShowWindow(m_hWnd, SW_SHOW);
    PostAdvance();
    // The next frame draws the percentage.
    m_lastPercentDrawn = 255;
    return 0;
}

LRESULT CChargeScreenDlg::OnStepHide(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_HIDE;
    ShowWindow(m_hWnd, SW_HIDE);
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepForeground(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_FOREGROUND;
    SetForegroundWindow(m_hWnd);
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepPowerOn(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_POWER_ON;
    ForceSystemPowerOn();
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepReloadSettings(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_RELOAD_SETTINGS;
    CaptureSettingsIfAllowed();
    PostAdvance();
    return 0;
}

void CChargeScreenDlg::CaptureSettingsIfAllowed()
{
    // Not while a ramp still runs: the registry then holds the ramp's levels, not the user's.
    if (m_settingsReloadAllowed) {
        LoadBacklightSettings();
        LoadRotationSettings();
        m_settingsReloadAllowed = FALSE;
    }
}

LRESULT CChargeScreenDlg::OnStepRestoreRotation(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_RESTORE_ROTATION;
    RestoreOrientation();
    RestoreRotationSettings();
    // The charging sequence turned dimming off; without this the user's setting would be lost.
    RestoreDimSetting();
    m_settingsRestored = TRUE;
    PostAdvance();
    return 0;
}

LRESULT CChargeScreenDlg::OnStepFinish(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_FINISH;
    PostAdvance();
    StartBacklightRamp();
    // Until this ramp has put the levels back, the registry holds the sequence's levels, not the
    // user's: a reload before then would capture those (after a battery run, the step's 11).
    m_settingsReloadAllowed = FALSE;
    m_lastPercentDrawn = 255;
    m_fullDrawn = FALSE;
    return 0;
}

LRESULT CChargeScreenDlg::OnStepPause(WPARAM, LPARAM)
{
    m_currentStep = WM_STEP_PAUSE;
    Sleep(1000);
    PostAdvance();
    return 0;
}
