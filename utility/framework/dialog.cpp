// The dialog's modal run through the system's dialog box, and its procedure's routing.
#include "framework/dialog.h"

#include "framework/win_app.h"

const CRuntimeClass CDialog::classCDialog = {"CDialog", &CWnd::classCWnd};

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog()
{
    if (m_hWnd != NULL)
        CWnd::RemovePermanent(m_hWnd);
}

const CRuntimeClass* CDialog::GetRuntimeClass() const
{
    return &classCDialog;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal()
{
    // Without a parent, the dialog belongs to whichever window is active now.
    HWND owner = m_pParentWnd != NULL ? m_pParentWnd->m_hWnd : GetActiveWindow();
    const HINSTANCE instance = AfxGetResourceHandle();
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(static_cast<WORD>(m_nIDTemplate)), owner, &CDialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

bool CDialog::OnCommandFallback(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hwnd;
        CWnd::AddPermanent(hwnd, dialog);
        return dialog->OnInitDialog();
    }
    CDialog* dialog = static_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
    if (dialog == NULL)
        return FALSE;
    if (message == WM_DESTROY) {
        CWnd::RemovePermanent(hwnd);
        dialog->m_hWnd = NULL;
        return FALSE;
    }
    LRESULT result = 0;
    return dialog->OnWndMsg(message, wParam, lParam, result) ? TRUE : FALSE;
}
