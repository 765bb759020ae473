#include "framework/dialog.h"

#include "framework/win_app.h"

#include <map>
#include <mutex>

namespace {

// Which dialog object a dialog window belongs to. Window handles are unique on the device, so
// one table serves every process.
class DialogTable {
public:
    void add(HWND hwnd, CDialog* dialog)
    {
        std::lock_guard lock(m_mutex);
        m_dialogs[hwnd] = dialog;
    }
    void remove(HWND hwnd)
    {
        std::lock_guard lock(m_mutex);
        m_dialogs.erase(hwnd);
    }
    CDialog* find(HWND hwnd)
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_dialogs.find(hwnd);
        return it == m_dialogs.end() ? nullptr : it->second;
    }

private:
    std::mutex m_mutex;
    std::map<HWND, CDialog*> m_dialogs;
};

DialogTable& dialogs()
{
    static DialogTable table;
    return table;
}

}  // namespace

const CRuntimeClass CDialog::classCDialog{"CDialog", &CWnd::classCWnd};

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog()
{
    if (m_hWnd)
        dialogs().remove(m_hWnd);
}

const CRuntimeClass* CDialog::GetRuntimeClass() const
{
    return &classCDialog;
}

const AFX_MSGMAP* CDialog::GetMessageMap() const
{
    static const AFX_MSGMAP map{CWnd::GetMessageMap(), nullptr, 0};
    return &map;
}

INT_PTR CDialog::DoModal()
{
    // Without a parent, the dialog belongs to whichever window is active now.
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : GetActiveWindow();
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

BOOL CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hwnd;
        dialogs().add(hwnd, dialog);
        return dialog->OnInitDialog();
    }
    CDialog* dialog = dialogs().find(hwnd);
    if (!dialog)
        return FALSE;
    if (message == WM_DESTROY) {
        dialogs().remove(hwnd);
        dialog->m_hWnd = nullptr;
        return FALSE;
    }
    LRESULT result = 0;
    return dialog->OnWndMsg(message, wParam, lParam, result) ? TRUE : FALSE;
}
