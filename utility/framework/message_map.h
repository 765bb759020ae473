// Message tables: a static table per window class maps a message, or a control's id and
// notification, to a member handler. A table names the table of its base class.
#ifndef VELORIN_FRAMEWORK_MESSAGE_MAP_H
#define VELORIN_FRAMEWORK_MESSAGE_MAP_H

#include <windows.h>
#include <windowsx.h>

class CWnd;

struct CPoint : POINT {
    CPoint()
    {
        x = 0;
        y = 0;
    }
    CPoint(LONG xPos, LONG yPos)
    {
        x = xPos;
        y = yPos;
    }
};

// Calls a table's handler with the arguments of the message.
typedef LRESULT (*AFX_PMSG_INVOKER)(CWnd& target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND for a control's notification; 0 ends the table
    UINT nCode;     // the notification code of WM_COMMAND
    UINT nID;       // the control id of WM_COMMAND
    AFX_PMSG_INVOKER pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* pBaseMap;
    const AFX_MSGMAP_ENTRY* lpEntries;  // ends with an entry whose pfn is NULL
};

// One invoker a handler signature: each unpacks the message for its handler.
namespace afx_detail {

template <class T, void (T::*Handler)()> LRESULT InvokeVoid(CWnd& target, WPARAM, LPARAM)
{
    (static_cast<T&>(target).*Handler)();
    return 0;
}

template <class T, void (T::*Handler)(UINT_PTR)> LRESULT InvokeTimer(CWnd& target, WPARAM wParam, LPARAM)
{
    (static_cast<T&>(target).*Handler)(static_cast<UINT_PTR>(wParam));
    return 0;
}

template <class T, void (T::*Handler)(UINT, CPoint)> LRESULT InvokeMouse(CWnd& target, WPARAM wParam, LPARAM lParam)
{
    (static_cast<T&>(target).*Handler)(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    return 0;
}

template <class T, void (T::*Handler)(UINT, LPCWSTR)>
LRESULT InvokeSettingChange(CWnd& target, WPARAM wParam, LPARAM lParam)
{
    (static_cast<T&>(target).*Handler)(static_cast<UINT>(wParam), reinterpret_cast<LPCWSTR>(lParam));
    return 0;
}

template <class T, LRESULT (T::*Handler)(WPARAM, LPARAM)>
LRESULT InvokeMessage(CWnd& target, WPARAM wParam, LPARAM lParam)
{
    return (static_cast<T&>(target).*Handler)(wParam, lParam);
}

}  // namespace afx_detail

// A class's table, between BEGIN_MESSAGE_MAP and END_MESSAGE_MAP in its source file; the class
// declares `virtual const AFX_MSGMAP* GetMessageMap() const;`. A handler of the wrong signature
// does not compile.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                \
    const AFX_MSGMAP* theClass::GetMessageMap() const         \
    {                                                         \
        typedef theClass ThisClass;                           \
        typedef baseClass TheBaseClass;                       \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                                 \
        {0, 0, 0, NULL}};                                                                 \
        static const AFX_MSGMAP messageMap = {TheBaseClass::GetMessageMap(), messageEntries}; \
        (void)sizeof(ThisClass); /* a table may name no handler */                       \
        return &messageMap;                                                               \
    }

// Standard messages, to the handlers of the framework's names.
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &afx_detail::InvokeVoid<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, &afx_detail::InvokeTimer<ThisClass, &ThisClass::OnTimer>},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, &afx_detail::InvokeMouse<ThisClass, &ThisClass::OnLButtonDown>},
#define ON_WM_SETTINGCHANGE() \
    {WM_SETTINGCHANGE, 0, 0, &afx_detail::InvokeSettingChange<ThisClass, &ThisClass::OnSettingChange>},
// Any message to a handler LRESULT(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) {message, 0, 0, &afx_detail::InvokeMessage<ThisClass, &ThisClass::memberFxn>},
// A button's click to a handler void().
#define ON_BN_CLICKED(id, memberFxn) {WM_COMMAND, BN_CLICKED, id, &afx_detail::InvokeVoid<ThisClass, &ThisClass::memberFxn>},

#endif
