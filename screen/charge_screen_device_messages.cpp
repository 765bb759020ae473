// The charging screen's messages that drive the device controls.
#include "device/device_controls.h"
#include "device/saved_settings.h"
#include "screen/charge_screen_dlg.h"

LRESULT CChargeScreenDlg::OnKeepAwake(WPARAM, LPARAM)
{
    SignalSystemActivity();
    SignalReloadActivityTimeouts();
    return 0;
}

LRESULT CChargeScreenDlg::OnRestoreAndExit(WPARAM, LPARAM)
{
    RestoreOrientation();
    RestoreRotationSettings();
    SaveBacklightSettings();
    OnCancel();
    return 0;
}
