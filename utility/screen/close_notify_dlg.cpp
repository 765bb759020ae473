// The close prompt: its buttons each record their answer and end it; it stays centred on a turn.
#include "screen/close_notify_dlg.h"

#include "res/resource.h"

#include <string.h>

const CRuntimeClass CCloseNotifyDlg::classCCloseNotifyDlg = {"CCloseNotifyDlg", &CDialog::classCDialog};

CCloseNotifyDlg::CCloseNotifyDlg(CWnd* pParent) : CDialog(IDD_CLOSE_NOTIFY, pParent), m_choice(CHOICE_NONE) {}

const CRuntimeClass* CCloseNotifyDlg::GetRuntimeClass() const
{
    return &classCCloseNotifyDlg;
}

BEGIN_MESSAGE_MAP(CCloseNotifyDlg, CDialog)
    ON_BN_CLICKED(IDC_DISMISS, OnBnClickedDismiss)
    ON_BN_CLICKED(IDC_CLOSE, OnBnClickedClose)
    ON_WM_SETTINGCHANGE()
END_MESSAGE_MAP()

BOOL CCloseNotifyDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CenterOnScreen();
    return TRUE;
}

void CCloseNotifyDlg::OnBnClickedDismiss()
{
    m_choice = CHOICE_DISMISS;
    OnCancel();
}

void CCloseNotifyDlg::OnBnClickedClose()
{
    m_choice = CHOICE_CLOSE;
    OnCancel();
}

void CCloseNotifyDlg::OnSettingChange(UINT, LPCWSTR)
{
    // The screen may have turned: centre on its new size.
    Default();
    CenterOnScreen();
}

void CCloseNotifyDlg::CenterOnScreen()
{
    RECT rect;
    memset(&rect, 0, sizeof rect);
    // Without its rectangle the dialog would be moved to a size of nothing, its buttons out of
    // reach; it stays where it is instead.
    if (!GetWindowRect(m_hWnd, &rect))
        return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    MoveWindow(m_hWnd, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height, TRUE);
}
