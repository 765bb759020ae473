#include "screen/charge_screen_dlg.h"

#include "device/platform_kind.h"
#include "device/power_monitor.h"
#include "device/power_source.h"
#include "device/saved_settings.h"
#include "framework/win_app.h"
#include "res/resource.h"
#include "screen/charge_screen_messages.h"
#include "screen/close_notify_dlg.h"
#include "screen/program_name.h"

#include <iterator>
#include <memory>

LONG g_closeRequested = 0;

namespace {

constexpr int kWindowSize = 600;
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The bitmaps in the order they are loaded; the first that fails ends the start.
struct BitmapToLoad {
    UINT id;
    CBitmap CChargeScreenDlg::*member;
};
constexpr BitmapToLoad kBitmaps[] = {
    {IDB_BATTERY_EMPTY, &CChargeScreenDlg::m_bmpBatteryEmpty},
    {IDB_BATTERY_FULL, &CChargeScreenDlg::m_bmpBatteryFull},
    {IDB_CHARGE_SYMBOL, &CChargeScreenDlg::m_bmpChargeSymbol},
    {IDB_GAUGE, &CChargeScreenDlg::m_bmpGauge},
    {IDB_DIGITS, &CChargeScreenDlg::m_bmpDigits},
};

}  // namespace

CChargeScreenDlg::CChargeScreenDlg(CWnd* pParent)
    : CDialog(IDD_CHARGE_SCREEN, pParent), m_hIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_VELORIN))),
      m_currentStep(SEQ_IDLE)
{
}

// The bitmaps are freed by their members, the digits first, before the dialog's own end.
CChargeScreenDlg::~CChargeScreenDlg() = default;

const AFX_MSGMAP* CChargeScreenDlg::GetMessageMap() const
{
    using D = CChargeScreenDlg;
    static const AFX_MSGMAP_ENTRY entries[] = {
        OnMessage<&D::OnSettingChange>(WM_SETTINGCHANGE),
        OnMessage<&D::OnTimer>(WM_TIMER),
        OnMessage<&D::OnPaint>(WM_PAINT),
        OnMessage<&D::OnLButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&D::OnKeepAwake>(WM_KEEP_AWAKE),
        OnMessage<&D::OnRestoreAndExit>(WM_RESTORE_AND_EXIT),
        OnMessage<&D::OnSeqAdvance>(WM_SEQ_ADVANCE),
        OnMessage<&D::OnStepBacklightOn>(WM_STEP_BACKLIGHT_ON),
        OnMessage<&D::OnStepBacklightOff>(WM_STEP_BACKLIGHT_OFF),
        OnMessage<&D::OnStepSetBatteryBacklight>(WM_STEP_SET_BATTERY_BACKLIGHT),
        OnMessage<&D::OnStepSetAcBacklight>(WM_STEP_SET_AC_BACKLIGHT),
        OnMessage<&D::OnStepWriteAutoRotate>(WM_STEP_WRITE_AUTOROTATE),
        OnMessage<&D::OnStepDisableDim>(WM_STEP_DISABLE_DIM),
        OnMessage<&D::OnStepRotateForCharging>(WM_STEP_ROTATE_FOR_CHARGING),
        OnMessage<&D::OnStepShow>(WM_STEP_SHOW),
        OnMessage<&D::OnStepHide>(WM_STEP_HIDE),
        OnMessage<&D::OnStepForeground>(WM_STEP_FOREGROUND),
        OnMessage<&D::OnStepPowerOn>(WM_STEP_POWER_ON),
        OnMessage<&D::OnStepReloadSettings>(WM_STEP_RELOAD_SETTINGS),
        OnMessage<&D::OnStepRestoreRotation>(WM_STEP_RESTORE_ROTATION),
        OnMessage<&D::OnStepFinish>(WM_STEP_FINISH),
        OnMessage<&D::OnStepPause>(WM_STEP_PAUSE),
    };
    static const AFX_MSGMAP map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

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
    for (const BitmapToLoad& bitmap : kBitmaps) {
        const HBITMAP loaded = LoadBitmapW(resources, MAKEINTRESOURCEW(bitmap.id));
        if (!loaded) {
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
    g_stopEvent.store(CreateEventW(nullptr, FALSE, FALSE, nullptr), std::memory_order_release);
    if (HANDLE monitor = CreateThread(nullptr, 0, PowerMonitorThread, m_hWnd, 0, nullptr))
        CloseHandle(monitor);

    SetTimer(m_hWnd, TIMER_ANIMATION, kAnimationPeriodMs, nullptr);
    SetTimer(m_hWnd, TIMER_KEEP_AWAKE, kKeepAwakePeriodMs, nullptr);
    SetTimer(m_hWnd, TIMER_BACKLIGHT_RAMP, kBacklightRampPeriodMs, nullptr);
    SetTimer(m_hWnd, TIMER_INITIAL_HIDE, kInitialHidePeriodMs, nullptr);
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
    if (PtInRect(&m_symbolRect, point) && !g_closeRequested && IsWindowVisible(m_hWnd)) {
        // The prompt shows over a blank screen.
        m_drawingEnabled = FALSE;
        InvalidateRect(m_hWnd, nullptr, TRUE);
        auto prompt = std::make_unique<CCloseNotifyDlg>();
        prompt->DoModal();
        if (prompt->m_choice == CHOICE_DISMISS) {
            // Only a charge can be dismissed: a source dismissed after the charger is gone would
            // make the next plug no change to the monitor, and the screen would miss that charge.
            BYTE charging = POWER_SOURCE_AC;
            g_powerSource.compare_exchange_strong(charging, POWER_SOURCE_DISMISSED, std::memory_order_acq_rel);
            RequestRun();
        } else if (prompt->m_choice == CHOICE_CLOSE) {
            g_closeRequested = 1;
            RequestRun();
        }
        // The next frame redraws everything, digits included.
        m_drawingEnabled = TRUE;
        m_fullDrawn = FALSE;
        m_lastPercentDrawn = 255;
        InvalidateRect(m_hWnd, nullptr, TRUE);
        prompt.reset();
    }
    Default();
}
