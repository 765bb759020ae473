/* Window manager, messages, timers, dialogs and input of the device. */
#ifndef VELORIN_WINDOW_WINUSER_H
#define VELORIN_WINDOW_WINUSER_H

#include "kernel/windef.h"
#include "kernel/winerror.h"
/* MAKEINTRESOURCEW and IS_INTRESOURCE, for the calls that take a resource's name. */
#include "resources/winres.h"

#define ERROR_INVALID_WINDOW_HANDLE 1400U
#define ERROR_TLW_WITH_WSCHILD 1406U
#define ERROR_CANNOT_FIND_WND_CLASS 1407U
#define ERROR_WINDOW_OF_OTHER_THREAD 1408U
#define ERROR_CLASS_ALREADY_EXISTS 1410U
#define ERROR_INVALID_INDEX 1413U
#define ERROR_MESSAGE_SYNC_ONLY 1159U
#define ERROR_INVALID_THREAD_ID 1444U

#ifdef __cplusplus
extern "C" {
#endif

typedef LRESULT (CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR (CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void (CALLBACK *TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
typedef WORD ATOM;

/* Messages. */
#define WM_NULL 0x0000U
#define WM_CREATE 0x0001U
#define WM_DESTROY 0x0002U
#define WM_MOVE 0x0003U
#define WM_SIZE 0x0005U
#define WM_ACTIVATE 0x0006U
#define WM_SETFOCUS 0x0007U
#define WM_KILLFOCUS 0x0008U
#define WM_ENABLE 0x000AU
#define WM_SETTEXT 0x000CU
#define WM_GETTEXT 0x000DU
#define WM_GETTEXTLENGTH 0x000EU
#define WM_PAINT 0x000FU
#define WM_CLOSE 0x0010U
#define WM_QUIT 0x0012U
#define WM_ERASEBKGND 0x0014U
#define WM_SHOWWINDOW 0x0018U
#define WM_SETTINGCHANGE 0x001AU
#define WM_SETFONT 0x0030U
#define WM_GETICON 0x007FU
#define WM_SETICON 0x0080U
#define WM_GETDLGCODE 0x0087U
#define WM_KEYDOWN 0x0100U
#define WM_KEYUP 0x0101U
#define WM_CHAR 0x0102U
#define WM_INITDIALOG 0x0110U
#define WM_COMMAND 0x0111U
#define WM_SYSCOMMAND 0x0112U
#define WM_TIMER 0x0113U
#define WM_LBUTTONDOWN 0x0201U
#define WM_LBUTTONUP 0x0202U
#define WM_USER 0x0400U
#define WM_APP 0x8000U
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID ((WORD)0x534B)

#define SC_CLOSE ((WPARAM)0xF060)
#define MK_LBUTTON ((WPARAM)0x0001)
#define ICON_SMALL ((WPARAM)0)
#define ICON_BIG ((WPARAM)1)
#define SETTINGCHANGE_RESET ((WPARAM)0x3002)
#define BN_CLICKED ((WORD)0)

/* WM_GETDLGCODE's answers: which keys a control takes itself, and what kind it is. */
#define DLGC_WANTARROWS 0x0001U
#define DLGC_WANTTAB 0x0002U
#define DLGC_WANTALLKEYS 0x0004U
#define DLGC_WANTMESSAGE 0x0004U
#define DLGC_HASSETSEL 0x0008U
#define DLGC_DEFPUSHBUTTON 0x0010U
#define DLGC_UNDEFPUSHBUTTON 0x0020U
#define DLGC_RADIOBUTTON 0x0040U
#define DLGC_WANTCHARS 0x0080U
#define DLGC_STATIC 0x0100U
#define DLGC_BUTTON 0x2000U

#define IDOK 1
#define IDCANCEL 2

#define VK_BACK 0x08U
#define VK_TAB 0x09U
#define VK_RETURN 0x0DU
#define VK_ESCAPE 0x1BU
#define VK_SPACE 0x20U

/* Window styles. */
#define WS_OVERLAPPED 0x00000000U
#define WS_POPUP 0x80000000U
#define WS_CHILD 0x40000000U
#define WS_VISIBLE 0x10000000U
#define WS_DISABLED 0x08000000U
#define WS_CLIPSIBLINGS 0x04000000U
#define WS_CLIPCHILDREN 0x02000000U
#define WS_CAPTION 0x00C00000U
#define WS_BORDER 0x00800000U
#define WS_DLGFRAME 0x00400000U
#define WS_SYSMENU 0x00080000U
#define WS_GROUP 0x00020000U
#define WS_TABSTOP 0x00010000U
#define WS_EX_DLGMODALFRAME 0x00000001U
#define WS_EX_TOPMOST 0x00000008U
#define WS_EX_APPWINDOW 0x00040000U
#define WS_EX_CAPTIONOKBTN 0x80000000U
#define DS_FIXEDSYS 0x00000008U
#define DS_SETFONT 0x00000040U
#define DS_MODALFRAME 0x00000080U
#define BS_PUSHBUTTON 0x00000000U
#define BS_DEFPUSHBUTTON 0x00000001U
#define SS_LEFT 0x00000000U
#define SS_CENTER 0x00000001U

/* CreateWindowExW: the system chooses the place. */
#define CW_USEDEFAULT ((int)0x80000000)

/* ShowWindow. */
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_SHOWNA 8

/* SetWindowPos. */
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)(LONG_PTR)1)
#define HWND_TOPMOST ((HWND)(LONG_PTR)-1)
#define HWND_NOTOPMOST ((HWND)(LONG_PTR)-2)
#define SWP_NOSIZE 0x0001U
#define SWP_NOMOVE 0x0002U
#define SWP_NOZORDER 0x0004U
#define SWP_NOACTIVATE 0x0010U
#define SWP_SHOWWINDOW 0x0040U
#define SWP_HIDEWINDOW 0x0080U

/* Window words. */
#define GWL_WNDPROC (-4)
#define GWL_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
/* The pointer-sized words of the same slots, as 64-bit Windows names them. */
#define GWLP_WNDPROC (-4)
#define GWLP_USERDATA (-21)
#define DWL_MSGRESULT 0
#define DWL_DLGPROC 4
#define DWL_USER 8

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1

#define PM_NOREMOVE 0x0000U
#define PM_REMOVE 0x0001U
#define PM_NOYIELD 0x0002U

/* PostMessageW: every top-level window. */
#define HWND_BROADCAST ((HWND)(LONG_PTR)0xFFFF)

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

typedef struct tagWNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
} WNDCLASSW;

typedef struct tagCREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTW;

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *LPPAINTSTRUCT;

/* Input as a program makes it (SendInput). */
#define INPUT_MOUSE 0U
#define INPUT_KEYBOARD 1U
#define INPUT_HARDWARE 2U
#define MOUSEEVENTF_MOVE 0x0001U
#define MOUSEEVENTF_LEFTDOWN 0x0002U
#define MOUSEEVENTF_LEFTUP 0x0004U
#define MOUSEEVENTF_ABSOLUTE 0x8000U
#define KEYEVENTF_EXTENDEDKEY 0x0001U
#define KEYEVENTF_KEYUP 0x0002U

typedef struct tagMOUSEINPUT {
    LONG dx;
    LONG dy;
    DWORD mouseData;
    DWORD dwFlags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
} MOUSEINPUT;
typedef struct tagKEYBDINPUT {
    WORD wVk;
    WORD wScan;
    DWORD dwFlags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
} KEYBDINPUT;
typedef struct tagHARDWAREINPUT {
    DWORD uMsg;
    WORD wParamL;
    WORD wParamH;
} HARDWAREINPUT;
/* The union has no name, as in the system's header; C99 has no such unions, which GCC takes as
   its extension. */
typedef struct tagINPUT {
    DWORD type;
    __extension__ union {
        MOUSEINPUT mi;
        KEYBDINPUT ki;
        HARDWAREINPUT hi;
    };
} INPUT, *LPINPUT;

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xFFFF))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xFFFF))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)((WORD)(l) | ((DWORD)(WORD)(h) << 16)))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)((WORD)(l) | ((DWORD)(WORD)(h) << 16)))
#define MAKEINTATOM(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))

ATOM RegisterClassW(const WNDCLASSW *lpWndClass);
HWND CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam);
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);
LRESULT DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
HWND GetParent(HWND hWnd);
BOOL IsChild(HWND hWndParent, HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);

BOOL GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
BOOL PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
BOOL TranslateMessage(const MSG *lpMsg);
LRESULT DispatchMessageW(const MSG *lpMsg);
BOOL PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int nExitCode);
/* A message with no window for the queue of thread idThread, which must have one. */
BOOL PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam);
/* Events as if from the pointer and the keys; the number taken. */
UINT SendInput(UINT nInputs, LPINPUT pInputs, int cbSize);

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);

HWND FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName);
BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString);
int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL IsWindowVisible(HWND hWnd);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
BOOL SetForegroundWindow(HWND hWnd);
HWND GetForegroundWindow(void);
HWND GetActiveWindow(void);
HWND SetFocus(HWND hWnd);
HWND GetFocus(void);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsWindowEnabled(HWND hWnd);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
LONG SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong);
LONG GetWindowLongW(HWND hWnd, int nIndex);
/* The same words at the width of a pointer; the 32-bit calls above keep the low half. */
LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex);

BOOL InvalidateRect(HWND hWnd, const RECT *lpRect, BOOL bErase);
BOOL ValidateRect(HWND hWnd, const RECT *lpRect);
BOOL UpdateWindow(HWND hWnd);
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT *lpPaint);

BOOL PtInRect(const RECT *lprc, POINT pt);
BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom);
BOOL IsRectEmpty(const RECT *lprc);
int GetSystemMetrics(int nIndex);

INT_PTR DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam);
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
BOOL IsDialogMessageW(HWND hDlg, LPMSG lpMsg);
LRESULT DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);

#ifdef __cplusplus
}
#endif

#endif
