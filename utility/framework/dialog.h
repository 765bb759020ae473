// The framework's dialog: a window made from a dialog template and run modally.
#ifndef VELORIN_FRAMEWORK_DIALOG_H
#define VELORIN_FRAMEWORK_DIALOG_H

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    virtual ~CDialog();

    virtual const CRuntimeClass* GetRuntimeClass() const;
    static const CRuntimeClass classCDialog;
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Runs the dialog until it ends; its end code, or -1 when it could not be made.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult);

protected:
    virtual bool OnCommandFallback(WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};

#endif
