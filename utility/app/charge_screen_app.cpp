// The application's start: a second instance ends at once, the enabling value decides the rest.
#include "app/charge_screen_app.h"

#include "screen/charge_screen_dlg.h"
#include "screen/program_name.h"
#include "services/reg_key_holder.h"

namespace {

CChargeScreenApp theApp;

}  // namespace

BEGIN_MESSAGE_MAP(CChargeScreenApp, CWinApp)
END_MESSAGE_MAP()

BOOL CChargeScreenApp::InitInstance()
{
    // Another instance's window, shown or hidden, is left alone.
    if (FindWindowW(NULL, kProgramName))
        return FALSE;

    SetRegistryKey(L"Local AppWizard-Generated Applications");

    // The key stays open for the whole run.
    RegKeyHolder batteryKey;
    batteryKey.OpenForRead(HKEY_LOCAL_MACHINE, L"Drivers\\BuiltIn\\Battery");
    if (batteryKey.ReadDword(kProgramName, 0) != 0) {
        CChargeScreenDlg dialog;
        MainWnd() = &dialog;
        dialog.DoModal();
        MainWnd() = NULL;
    }
    batteryKey.Close();
    return FALSE;
}

int VelorinMain()
{
    return AfxWinMain(theApp);
}
