/* Base types of the device's system library, by their Win32/CE names.

   The public headers are written as CE's SDK writes its own: plain C that is also C++03 (a
   program for the device may be either), with #define for constants, which C needs and which
   serve in case labels, and typedef for types. The device's own C++ includes them too. */
#ifndef VELORIN_KERNEL_WINDEF_H
#define VELORIN_KERNEL_WINDEF_H

/* size_t, ptrdiff_t, wchar_t and offsetof, which C and C++ alike have here (CE's compilers have
   no stdint.h). */
#include <stddef.h>

/* Calling conventions: the device has one, so these name nothing; they stay in declarations so
   that the same code declares its callbacks right for a desktop x86 target too. */
#define WINAPI
#define CALLBACK

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int DWORD;
typedef unsigned int UINT;
typedef int INT;
typedef int LONG;
typedef unsigned int ULONG;
typedef int BOOL;
typedef BYTE BOOLEAN;
typedef wchar_t WCHAR;
typedef char CHAR;
typedef void *LPVOID;
typedef const void *LPCVOID;
typedef void *PVOID;
typedef DWORD *LPDWORD;
typedef DWORD *PDWORD;
typedef LONG *LPLONG;
typedef BYTE *LPBYTE;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;
typedef CHAR *LPSTR;
typedef const CHAR *LPCSTR;
/* As wide as a pointer, on a 32-bit target as on this host. */
typedef ptrdiff_t INT_PTR;
typedef size_t UINT_PTR;
typedef ptrdiff_t LONG_PTR;
typedef size_t ULONG_PTR;
typedef size_t DWORD_PTR;
typedef ULONG_PTR SIZE_T;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

#define FALSE 0
#define TRUE 1
#define MAX_PATH 260

/* Handles are distinct pointer types, as with STRICT, so a handle never converts silently into
   another kind of handle or from a plain pointer. HANDLE is one too, where Windows makes it
   void*: a call line prints a handle's value and any other pointer only as ptr, which needs the
   types to differ. */
struct HANDLE__ { int unused; };
typedef struct HANDLE__ *HANDLE;
typedef HANDLE *LPHANDLE;
struct HINSTANCE__ { int unused; };
typedef struct HINSTANCE__ *HINSTANCE;
typedef HINSTANCE HMODULE;
/* A local heap block: its address, so it is not a handle of the handle table. */
struct HLOCAL__ { int unused; };
typedef struct HLOCAL__ *HLOCAL;

/* Window manager and graphics handles. HGDIOBJ is void*, as STRICT Windows has it, so that a
   brush, a pen, a font or a bitmap passes where any object is asked for, in C as in C++; the
   object that comes back needs a cast to its own kind. */
struct HWND__ { int unused; };
typedef struct HWND__ *HWND;
struct HDC__ { int unused; };
typedef struct HDC__ *HDC;
typedef void *HGDIOBJ;
struct HBITMAP__ { int unused; };
typedef struct HBITMAP__ *HBITMAP;
struct HBRUSH__ { int unused; };
typedef struct HBRUSH__ *HBRUSH;
struct HPEN__ { int unused; };
typedef struct HPEN__ *HPEN;
struct HFONT__ { int unused; };
typedef struct HFONT__ *HFONT;
struct HICON__ { int unused; };
typedef struct HICON__ *HICON;
typedef HICON HCURSOR;
struct HMENU__ { int unused; };
typedef struct HMENU__ *HMENU;

/* 0x00BBGGRR */
typedef DWORD COLORREF;

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;
typedef const RECT *LPCRECT;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

typedef LONG_PTR (WINAPI *FARPROC)();

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#endif
