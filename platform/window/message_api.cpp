// Messages, queues and timers.
#include "kernel/api_call.hpp"
#include "window/window_call.hpp"
#include "window/winuser.h"

using namespace velorin::kernel;
using velorin::window::windowManager;

BOOL GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    return platformCall(
        "GetMessageW", BOOL{-1}, ERROR_INVALID_PARAMETER,
        [&]() -> BOOL {
            // CE answers zero for a bad message pointer, as for WM_QUIT; the desktop's -1 is left
            // for a bad window.
            if (!lpMsg) {
                setLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            return windowManager().getMessage(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax);
        },
        lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax);
}

BOOL PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    return platformCall(
        "PeekMessageW", FALSE, ERROR_INVALID_PARAMETER,
        [&]() -> BOOL {
            if (!lpMsg) {
                setLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            const bool remove = (wRemoveMsg & PM_REMOVE) != 0;
            return windowManager().peekMessage(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove) ? TRUE : FALSE;
        },
        lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
}

BOOL TranslateMessage(const MSG* lpMsg)
{
    return platformCall(
        "TranslateMessage", FALSE, ERROR_INVALID_PARAMETER,
        [&]() -> BOOL { return lpMsg && windowManager().translate(*lpMsg) ? TRUE : FALSE; }, lpMsg);
}

LRESULT DispatchMessageW(const MSG* lpMsg)
{
    return platformCall(
        "DispatchMessageW", LRESULT{0}, ERROR_INVALID_PARAMETER,
        [&]() -> LRESULT { return lpMsg ? windowManager().dispatch(*lpMsg) : 0; }, lpMsg);
}

BOOL PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return platformCall(
        "PostMessageW", FALSE, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> BOOL { return windowManager().post(hWnd, Msg, wParam, lParam) ? TRUE : FALSE; }, hWnd, Msg, wParam,
        lParam);
}

BOOL PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return platformCall(
        "PostThreadMessageW", FALSE, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> BOOL { return windowManager().postThreadMessage(idThread, Msg, wParam, lParam) ? TRUE : FALSE; },
        idThread, Msg, wParam, lParam);
}

LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return platformCall(
        "SendMessageW", LRESULT{0}, ERROR_INVALID_WINDOW_HANDLE,
        [&] { return windowManager().send(hWnd, Msg, wParam, lParam); }, hWnd, Msg, wParam, lParam);
}

void PostQuitMessage(int nExitCode)
{
    platformCallVoid(
        "PostQuitMessage", [&] { windowManager().postQuit(nExitCode); }, nExitCode);
}

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    return platformCall(
        "SetTimer", UINT_PTR{0}, ERROR_NOT_ENOUGH_MEMORY,
        [&] {
            std::lock_guard lock(Kernel::current().mutex());
            return windowManager().setTimerLocked(hWnd, nIDEvent, uElapse, lpTimerFunc);
        },
        hWnd, nIDEvent, uElapse, lpTimerFunc);
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    return platformCall(
        "KillTimer", FALSE, ERROR_INVALID_PARAMETER,
        [&] {
            std::lock_guard lock(Kernel::current().mutex());
            return windowManager().killTimerLocked(hWnd, uIDEvent) ? TRUE : FALSE;
        },
        hWnd, uIDEvent);
}

LRESULT DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return platformCall(
        "DefWindowProcW", LRESULT{0}, ERROR_INVALID_WINDOW_HANDLE,
        [&] { return windowManager().defWindowProc(hWnd, Msg, wParam, lParam); }, hWnd, Msg, wParam, lParam);
}
