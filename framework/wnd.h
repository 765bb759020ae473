// The framework's window object: a window handle and the routing of its messages through the
// message tables.
#pragma once

#include "framework/message_map.h"
#include "framework/runtime_class.h"

#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    static const CRuntimeClass classCWnd;
    virtual const AFX_MSGMAP* GetMessageMap() const;

    HWND GetSafeHwnd() const { return this ? m_hWnd : nullptr; }

    // The window object attached to a window handle, or null. Window handles are unique on the
    // device, so one map serves every process.
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void AddPermanent(HWND hWnd, CWnd* pWnd);
    static void RemovePermanent(HWND hWnd);

    // Runs the table handler for a message; false when no handler takes it.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The default handling of the message being handled now.
    LRESULT Default();

    HWND m_hWnd = nullptr;

protected:
    // A WM_COMMAND that no table entry took.
    virtual bool OnCommandFallback(WPARAM wParam, LPARAM lParam);

private:
    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    CurrentMessage m_current;
};
