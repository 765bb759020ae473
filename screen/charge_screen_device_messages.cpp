// The charging screen's messages that drive the device controls.
#include "screen/charge_screen_dlg.h"

LRESULT CChargeScreenDlg::OnKeepAwake(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CChargeScreenDlg::OnRestoreAndExit(WPARAM, LPARAM)
{
    return 0;
}
