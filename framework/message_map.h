// Message tables: a static table per window class maps a message, or a control's id and
// notification, to a member handler. A table names the table of its base class.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <cstddef>
#include <type_traits>

class CWnd;

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(LONG x, LONG y) : POINT{x, y} {}
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND for a control's notification
    UINT nCode;     // the notification code of WM_COMMAND
    UINT nID;       // the control id of WM_COMMAND
    LRESULT (*pfn)(CWnd& target, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* pBaseMap;
    const AFX_MSGMAP_ENTRY* lpEntries;
    std::size_t nCount;
};

namespace afx_detail {

template <class T> struct MemberOf;
template <class C, class F> struct MemberOf<F C::*> {
    using Class = C;
};

// Calls a handler with the arguments its signature asks for, unpacked from the message.
template <auto Handler> LRESULT invoke(CWnd& target, WPARAM wParam, LPARAM lParam)
{
    using T = typename MemberOf<decltype(Handler)>::Class;
    T& self = static_cast<T&>(target);
    using H = decltype(Handler);
    if constexpr (std::is_same_v<H, void (T::*)()>) {
        (self.*Handler)();
        return 0;
    } else if constexpr (std::is_same_v<H, void (T::*)(UINT_PTR)>) {
        (self.*Handler)(static_cast<UINT_PTR>(wParam));
        return 0;
    } else if constexpr (std::is_same_v<H, void (T::*)(UINT, CPoint)>) {
        (self.*Handler)(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    } else if constexpr (std::is_same_v<H, void (T::*)(UINT, LPCWSTR)>) {
        (self.*Handler)(static_cast<UINT>(wParam), reinterpret_cast<LPCWSTR>(lParam));
        return 0;
    } else if constexpr (std::is_same_v<H, LRESULT (T::*)(WPARAM, LPARAM)>) {
        return (self.*Handler)(wParam, lParam);
    } else {
        static_assert(sizeof(T) == 0, "a handler of this signature cannot be in a message table");
    }
}

}  // namespace afx_detail

// A message to a handler: void(), void(UINT_PTR) for WM_TIMER, void(UINT, CPoint) for mouse
// messages, void(UINT, LPCWSTR) for WM_SETTINGCHANGE, LRESULT(WPARAM, LPARAM) for the rest.
template <auto Handler> constexpr AFX_MSGMAP_ENTRY OnMessage(UINT message)
{
    return AFX_MSGMAP_ENTRY{message, 0, 0, &afx_detail::invoke<Handler>};
}

// A control's notification to a handler void().
template <auto Handler> constexpr AFX_MSGMAP_ENTRY OnCommand(UINT id, UINT code)
{
    return AFX_MSGMAP_ENTRY{WM_COMMAND, code, id, &afx_detail::invoke<Handler>};
}
