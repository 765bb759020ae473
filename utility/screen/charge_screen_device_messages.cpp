// The charging screen's messages that drive the device controls.
#include "screen/charge_screen_dlg.h"
#include "services/device_controls.h"
#include "services/saved_settings.h"

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
