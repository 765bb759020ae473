// The charging screen's window: its construction, its message table, its start and its paint.
#include "screen/charge_screen_dlg.h"

#include "framework/win_app.h"
#include "res/resource.h"
#include "screen/charge_screen_messages.h"
#include "screen/close_notify_dlg.h"
#include "screen/program_name.h"
#include "services/platform_kind.h"
#include "services/power_monitor.h"
#include "services/power_source.h"
#include "services/saved_settings.h"

#include <string.h>

LONG g_closeRequested = 0;

namespace {

const int kWindowSize = 600;
const COLORREF kBlack = RGB(0, 0, 0);

// The bitmaps in the order they are loaded; the first that fails ends the start.
struct BitmapToLoad {
    UINT id;
    CBitmap CChargeScreenDlg::*member;
};
const BitmapToLoad kBitmaps[] = {
    {IDB_BATTERY_EMPTY, &CChargeScreenDlg::m_bmpBatteryEmpty},
    {IDB_BATTERY_FULL, &CChargeScreenDlg::m_bmpBatteryFull},
    {IDB_CHARGE_SYMBOL, &CChargeScreenDlg::m_bmpChargeSymbol},
    {IDB_GAUGE, &CChargeScreenDlg::m_bmpGauge},
    {IDB_DIGITS, &CChargeScreenDlg::m_bmpDigits},
};

}  // namespace

CChargeScreenDlg::CChargeScreenDlg(CWnd* pParent)
    : CDialog(IDD_CHARGE_SCREEN, pParent), m_hIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_VELORIN))),
      m_fillStep(0), m_levelTenths(0), m_lastPercentDrawn(255), m_drawingEnabled(TRUE), m_blinkOn(FALSE),
      m_fullDrawn(FALSE), m_platformKind(0), m_pendingRuns(0), m_currentStep(SEQ_IDLE), m_firstRun(TRUE),
      m_settingsReloadAllowed(TRUE), m_settingsRestored(TRUE), m_runOnAc(false)
{
    memset(&m_symbolRect, 0, sizeof m_symbolRect);
    memset(&m_percentRect, 0, sizeof m_percentRect);
}

// The bitmaps are freed by their members, the digits first, before the dialog's own end.
CChargeScreenDlg::~CChargeScreenDlg() {}

BEGIN_MESSAGE_MAP(CChargeScreenDlg, CDialog)
    ON_WM_SETTINGCHANGE()
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_KEEP_AWAKE, OnKeepAwake)
    ON_MESSAGE(WM_RESTORE_AND_EXIT, OnRestoreAndExit)
    ON_MESSAGE(WM_SEQ_ADVANCE, OnSeqAdvance)
    ON_MESSAGE(WM_STEP_BACKLIGHT_ON, OnStepBacklightOn)
    ON_MESSAGE(WM_STEP_BACKLIGHT_OFF, OnStepBacklightOff)
    ON_MESSAGE(WM_STEP_SET_BATTERY_BACKLIGHT, OnStepSetBatteryBacklight)
    ON_MESSAGE(WM_STEP_SET_AC_BACKLIGHT, OnStepSetAcBacklight)
    ON_MESSAGE(WM_STEP_WRITE_AUTOROTATE, OnStepWriteAutoRotate)
    ON_MESSAGE(WM_STEP_DISABLE_DIM, OnStepDisableDim)
    ON_MESSAGE(WM_STEP_ROTATE_FOR_CHARGING, OnStepRotateForCharging)
    ON_MESSAGE(WM_STEP_SHOW, OnStepShow)
    ON_MESSAGE(WM_STEP_HIDE, OnStepHide)
    ON_MESSAGE(WM_STEP_FOREGROUND, OnStepForeground)
    ON_MESSAGE(WM_STEP_POWER_ON, OnStepPowerOn)
    ON_MESSAGE(WM_STEP_RELOAD_SETTINGS, OnStepReloadSettings)
    ON_MESSAGE(WM_STEP_RESTORE_ROTATION, OnStepRestoreRotation)
    ON_MESSAGE(WM_STEP_FINISH, OnStepFinish)
    ON_MESSAGE(WM_STEP_PAUSE, OnStepPause)
END_MESSAGE_MAP()

BOOL CChargeScreenDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetWindowTextW(m_hWnd, kProgramName);

    // The identity key stays open until the initialisation ends.
    RegKeyHolder identKey;
    ReadPlatformKind(identKey, m_platformKind);
    LookUpBatteryStatusFunction();

    const HINSTANCE resources = AfxGetResourceHandle();
    for (size_t i = 0; i < sizeof kBitmaps / sizeof kBitmaps[0]; ++i) {
        const BitmapToLoad& bitmap = kBitmaps[i];
        const HBITMAP loaded = LoadBitmapW(resources, MAKEINTRESOURCEW(bitmap.id));
        if (loaded == NULL) {
            // Nothing of the device has been read or changed yet.
            OnCancel();
            return FALSE;
        }
        (this->*bitmap.member).Attach(loaded);
    }

    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, kWindowSize, kWindowSize, SWP_NOMOVE | SWP_SHOWWINDOW);
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    LoadRotationSettings();
    LoadBacklightSettings();

    // The event exists before the monitor builds its wait set; nobody joins the monitor.
    g_stopEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    const HANDLE monitor = CreateThread(NULL, 0, PowerMonitorThread, m_hWnd, 0, NULL);
    if (monitor != NULL)
        CloseHandle(monitor);

    SetTimer(m_hWnd, TIMER_ANIMATION, kAnimationPeriodMs, NULL);
    SetTimer(m_hWnd, TIMER_KEEP_AWAKE, kKeepAwakePeriodMs, NULL);
    SetTimer(m_hWnd, TIMER_BACKLIGHT_RAMP, kBacklightRampPeriodMs, NULL);
    SetTimer(m_hWnd, TIMER_INITIAL_HIDE, kInitialHidePeriodMs, NULL);
    return TRUE;
}

void CChargeScreenDlg::OnOK()
{
    // Enter and an OK command change nothing.
}

void CChargeScreenDlg::OnCancel()
{
    // The timers end with the window and the monitor ends by itself; nothing is restored here.
    RequestMonitorStop();
    CDialog::OnCancel();
}

void CChargeScreenDlg::OnSettingChange(UINT, LPCWSTR)
{
    Default();
}

void CChargeScreenDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!m_drawingEnabled)
        return;
    CBrush black;
    black.CreateSolidBrush(kBlack);
    const HGDIOBJ previous = dc.SelectObject(black);
    // The screen-sized rectangle, clipped to the window.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    Rectangle(dc, 0, 0, width, height);
    dc.SelectObject(previous);
}

void CChargeScreenDlg::OnLButtonDown(UINT, CPoint point)
{
    // A tap queued while the screen showed may be handled after a run has hidden it: it opens
    // nothing, or the prompt would stand alone and the charging screen come back over it.
    // Drawing is off exactly while a prompt is up; a tap queued before that prompt opened
    // reaches this window through the prompt's modal loop, and must not open a second one.
    if (PtInRect(&m_symbolRect, point) && !g_closeRequested && m_drawingEnabled
        && IsWindowVisible(m_hWnd)) {
        // The prompt shows over a blank screen.
        m_drawingEnabled = FALSE;
        InvalidateRect(m_hWnd, NULL, TRUE);
        // Destroyed at the end of this block, once the screen is set to draw again.
        CCloseNotifyDlg prompt;
        prompt.DoModal();
        if (prompt.m_choice == CHOICE_DISMISS) {
            // Only a charge can be dismissed: a source dismissed after the charger is gone would
            // make the next plug no change to the monitor, and the screen would miss that charge.
            InterlockedCompareExchange(&g_powerSource, POWER_SOURCE_DISMISSED, POWER_SOURCE_AC);
            RequestRun();
        } else if (prompt.m_choice == CHOICE_CLOSE) {
            g_closeRequested = 1;
            RequestRun();
        }
        // The next frame redraws everything, digits included.
        m_drawingEnabled = TRUE;
        m_fullDrawn = FALSE;
        m_lastPercentDrawn = 255;
        InvalidateRect(m_hWnd, NULL, TRUE);
    }
    Default();
}
