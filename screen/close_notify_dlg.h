// The small dialog that a tap on the charge symbol opens: Dismiss puts the charging screen away
// for this charge, Close ends the utility. It only records the answer; the caller acts on it.
#pragma once

#include "framework/dialog.h"

#include <windows.h>

// The answers, as m_choice holds them.
inline constexpr LONG CHOICE_NONE = 0;
inline constexpr LONG CHOICE_DISMISS = 1;
inline constexpr LONG CHOICE_CLOSE = 2;

class CCloseNotifyDlg : public CDialog {
public:
    explicit CCloseNotifyDlg(CWnd* pParent = nullptr);
    ~CCloseNotifyDlg() override = default;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classCCloseNotifyDlg;
    const AFX_MSGMAP* GetMessageMap() const override;
    BOOL OnInitDialog() override;

    void OnBnClickedDismiss();
    void OnBnClickedClose();
    void OnSettingChange(UINT uFlags, LPCWSTR lpszSection);

    LONG m_choice = CHOICE_NONE;

private:
    // Centres the dialog on the screen as it is now.
    void CenterOnScreen();
};
