// Dialog boxes.
#include "kernel/api_call.hpp"
#include "resources/resource_call.hpp"
#include "window/window_call.hpp"
#include "window/winuser.h"

using namespace velorin::kernel;
using velorin::window::windowManager;

BOOL EndDialog(HWND hDlg, INT_PTR nResult)
{
    return platformCall(
        "EndDialog", FALSE, ERROR_INVALID_WINDOW_HANDLE,
        [&]() -> BOOL { return windowManager().endDialog(hDlg, nResult) ? TRUE : FALSE; }, hDlg, nResult);
}

BOOL IsDialogMessageW(HWND hDlg, LPMSG lpMsg)
{
    return platformCall(
        "IsDialogMessageW", FALSE, ERROR_INVALID_PARAMETER,
        [&]() -> BOOL { return lpMsg && windowManager().isDialogMessage(hDlg, *lpMsg) ? TRUE : FALSE; }, hDlg, lpMsg);
}

LRESULT DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return platformCall(
        "DefDlgProcW", LRESULT{0}, ERROR_INVALID_WINDOW_HANDLE,
        [&] { return windowManager().defDialogProc(hDlg, Msg, wParam, lParam); }, hDlg, Msg, wParam, lParam);
}

INT_PTR DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam)
{
    return platformCall(
        "DialogBoxParamW", INT_PTR{-1}, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> INT_PTR {
            const auto dialogTemplate = velorin::resources::findDialogTemplate(hInstance, lpTemplateName);
            if (!dialogTemplate)
                return -1;
            return windowManager().dialogBox(*dialogTemplate, hWndParent, lpDialogFunc, dwInitParam);
        },
        // The init parameter is most often a pointer, whose value differs from run to run.
        hInstance, lpTemplateName, hWndParent, lpDialogFunc, reinterpret_cast<const void*>(dwInitParam));
}
