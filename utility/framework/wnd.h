// The framework's window object: a window handle and the routing of its messages through the
// message tables.
#ifndef VELORIN_FRAMEWORK_WND_H
#define VELORIN_FRAMEWORK_WND_H

#include "framework/message_map.h"
#include "framework/runtime_class.h"

#include <windows.h>

class CWnd {
public:
    CWnd();
    virtual ~CWnd();

    virtual const CRuntimeClass* GetRuntimeClass() const;
    static const CRuntimeClass classCWnd;
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The window object attached to a window handle, or null. Window handles are unique on the
    // device, so one map serves every process.
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void AddPermanent(HWND hWnd, CWnd* pWnd);
    static void RemovePermanent(HWND hWnd);

    // Runs the table handler for a message; false when no handler takes it.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The default handling of the message being handled now.
    LRESULT Default();

    HWND m_hWnd;

protected:
    // A WM_COMMAND that no table entry took.
    virtual bool OnCommandFallback(WPARAM wParam, LPARAM lParam);

private:
    CWnd(const CWnd&);
    CWnd& operator=(const CWnd&);

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_current;
};

#endif
