// The framework's dialog: a window made from a dialog template and run modally.
#pragma once

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classCDialog;
    const AFX_MSGMAP* GetMessageMap() const override;

    // Runs the dialog until it ends; its end code, or -1 when it could not be made.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult);

protected:
    bool OnCommandFallback(WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};
