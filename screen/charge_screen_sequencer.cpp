// The transition sequencer and its steps, each a message of the charging screen.
#include "screen/charge_screen_dlg.h"

LRESULT CChargeScreenDlg::OnSeqAdvance(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepBacklightOn(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepBacklightOff(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepSetBatteryBacklight(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepSetAcBacklight(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepWriteAutoRotate(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepDisableDim(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepRotateForCharging(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepShow(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepHide(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepForeground(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepPowerOn(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepReloadSettings(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepRestoreRotation(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepFinish(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnStepPause(WPARAM, LPARAM)
{
    return 0;
}
