// The charging screen: the utility's one main window, a topmost popup dialog that covers the
// screen while the device charges. Its record holds the renderer's and the sequencer's state.
#ifndef VELORIN_SCREEN_CHARGE_SCREEN_DLG_H
#define VELORIN_SCREEN_CHARGE_SCREEN_DLG_H

#include "framework/dialog.h"
#include "framework/gdi_objects.h"

#include <windows.h>

// Set once, when the user chooses Close; never cleared.
extern LONG g_closeRequested;

class CChargeScreenDlg : public CDialog {
public:
    explicit CChargeScreenDlg(CWnd* pParent = NULL);
    virtual ~CChargeScreenDlg();

    virtual const AFX_MSGMAP* GetMessageMap() const;
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Standard messages.
    void OnSettingChange(UINT uFlags, LPCWSTR lpszSection);
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);

    // The utility's own messages.
    LRESULT OnKeepAwake(WPARAM wParam, LPARAM lParam);
    LRESULT OnRestoreAndExit(WPARAM wParam, LPARAM lParam);
    LRESULT OnSeqAdvance(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepBacklightOn(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepBacklightOff(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepSetBatteryBacklight(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepSetAcBacklight(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepWriteAutoRotate(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepDisableDim(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepRotateForCharging(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepShow(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepHide(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepForeground(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepPowerOn(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepReloadSettings(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepRestoreRotation(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepFinish(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepPause(WPARAM wParam, LPARAM lParam);

    HICON m_hIcon;
    LONG m_fillStep;
    LONG m_levelTenths;
    BYTE m_lastPercentDrawn;
    BOOL m_drawingEnabled;
    BOOL m_blinkOn;
    RECT m_symbolRect;
    RECT m_percentRect;
    BOOL m_fullDrawn;
    CBitmap m_bmpBatteryFull;
    CBitmap m_bmpBatteryEmpty;
    CBitmap m_bmpChargeSymbol;
    CBitmap m_bmpGauge;
    CBitmap m_bmpDigits;
    LONG m_platformKind;
    LONG m_pendingRuns;
    UINT m_currentStep;
    BOOL m_firstRun;
    BOOL m_settingsReloadAllowed;
    // Whether the last run that changed the settings also put the user's back (a battery or
    // dismissed run), so that its ramp's end leaves the registry holding theirs.
    BOOL m_settingsRestored;
    // The table of the run's last dispatch: AC, or battery (battery and dismissed).
    bool m_runOnAc;

private:
    // The sequencer's dispatch of the current step, and a step's request for the next.
    void DispatchStep();
    void PostAdvance();
    // Takes the registry's settings as the user's, once each time they are theirs again.
    void CaptureSettingsIfAllowed();
    // The user's choice on the prompt asks for a run as a power report does.
    void RequestRun();
    // One tick of each of the window's timers.
    void OnAnimationTimer();
    void OnKeepAwakeTimer();
    void OnBacklightRampTimer();
    void OnInitialHideTimer();

    // The renderer: one frame of the animation, the percentage and the digit strip's cells.
    void DrawAnimationFrame(BYTE percent);
    void DrawPercentage(CDC* pDC, UINT percent, CDC* pGlyphDC);
    void GetGlyphRect(int index, RECT* rect) const;
};

#endif
