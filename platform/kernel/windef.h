// Base types of the device's system library, by their Win32/CE names.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = int;
using BOOLEAN = BYTE;
using WCHAR = wchar_t;
using CHAR = char;
using LPVOID = void*;
using LPCVOID = const void*;
using PVOID = void*;
using LPDWORD = DWORD*;
using LPLONG = LONG*;
using PDWORD = DWORD*;
using LPBYTE = BYTE*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPSTR = CHAR*;
using LPCSTR = const CHAR*;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using SIZE_T = ULONG_PTR;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr int MAX_PATH = 260;  // an int, as the system's macro is

// Handles are distinct pointer types, as with STRICT, so a handle never converts silently
// into another kind of handle or from a plain pointer.
struct HANDLE__ {
    int unused;
};
using HANDLE = HANDLE__*;
using LPHANDLE = HANDLE*;
struct HINSTANCE__ {
    int unused;
};
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
// A local heap block: its address, so it is not a handle of the handle table.
struct HLOCAL__ {
    int unused;
};
using HLOCAL = HLOCAL__*;

// Window manager and graphics handles. The graphics objects derive from HGDIOBJ__ so that a
// brush or a bitmap passes where any object is asked for, as in the system's headers, while
// the reverse needs a cast.
struct HWND__ { int unused; };
using HWND = HWND__*;
struct HDC__ { int unused; };
using HDC = HDC__*;
struct HGDIOBJ__ { int unused; };
using HGDIOBJ = HGDIOBJ__*;
struct HBITMAP__ : HGDIOBJ__ {};
using HBITMAP = HBITMAP__*;
struct HBRUSH__ : HGDIOBJ__ {};
using HBRUSH = HBRUSH__*;
struct HPEN__ : HGDIOBJ__ {};
using HPEN = HPEN__*;
struct HFONT__ : HGDIOBJ__ {};
using HFONT = HFONT__*;
struct HICON__ { int unused; };
using HICON = HICON__*;
using HCURSOR = HICON;
struct HMENU__ { int unused; };
using HMENU = HMENU__*;

using COLORREF = DWORD;  // 0x00BBGGRR

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>(c >> 8); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>(c >> 16); }

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct POINT {
    LONG x;
    LONG y;
};
using LPPOINT = POINT*;

struct SIZE {
    LONG cx;
    LONG cy;
};

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

using FARPROC = LONG_PTR (*)();

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// Calling conventions: the device has one, so these name nothing; they stay in declarations so
// that the same code declares its callbacks right for a desktop x86 target too.
#define WINAPI
#define CALLBACK
