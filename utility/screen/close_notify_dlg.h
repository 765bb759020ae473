// The small dialog that a tap on the charge symbol opens: Dismiss puts the charging screen away
// for this charge, Close ends the utility. It only records the answer; the caller acts on it.
#ifndef VELORIN_SCREEN_CLOSE_NOTIFY_DLG_H
#define VELORIN_SCREEN_CLOSE_NOTIFY_DLG_H

#include "framework/dialog.h"

#include <windows.h>

// The answers, as m_choice holds them.
const LONG CHOICE_NONE = 0;
const LONG CHOICE_DISMISS = 1;
const LONG CHOICE_CLOSE = 2;

class CCloseNotifyDlg : public CDialog {
public:
    explicit CCloseNotifyDlg(CWnd* pParent = NULL);
    virtual ~CCloseNotifyDlg() {}

    virtual const CRuntimeClass* GetRuntimeClass() const;
    static const CRuntimeClass classCCloseNotifyDlg;
    virtual const AFX_MSGMAP* GetMessageMap() const;
    virtual BOOL OnInitDialog();

    void OnBnClickedDismiss();
    void OnBnClickedClose();
    void OnSettingChange(UINT uFlags, LPCWSTR lpszSection);

    LONG m_choice;

private:
    // Centres the dialog on the screen as it is now.
    void CenterOnScreen();
};

#endif
