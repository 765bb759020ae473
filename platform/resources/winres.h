/* Resources of a program's modules: bitmaps, icons, raw resources, the module handle, and the
   dialog base units; the names of resources by number, which winuser.h passes on. */
#ifndef VELORIN_RESOURCES_WINRES_H
#define VELORIN_RESOURCES_WINRES_H

#include "kernel/windef.h"
#include "kernel/winerror.h"

/* LPWSTR, not LPCWSTR, as the system's macro: a program may keep it in an LPWSTR. */
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)

struct HRSRC__ { int unused; };
typedef struct HRSRC__ *HRSRC;
typedef HANDLE HGLOBAL;

/* Resource types. */
#define RT_CURSOR MAKEINTRESOURCEW(1)
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_RCDATA MAKEINTRESOURCEW(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCEW(12)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)

#ifdef __cplusplus
extern "C" {
#endif

/* The module of the calling process by file name; NULL names the program's own image, whose
   handle is the HINSTANCE that its resources are loaded through. */
HMODULE GetModuleHandleW(LPCWSTR lpModuleName);

/* A bitmap resource as a new GDI bitmap, which the caller deletes with DeleteObject. A NULL
   instance asks for a predefined system bitmap; the device has none. */
HBITMAP LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName);
/* An icon group's image for the standard icon size. Icons are shared: the same one again gives
   the same handle, which stays valid as long as the device. A NULL instance asks for a
   predefined system icon; the device has none. */
HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);

/* String `uID` of the module's string tables, copied with its NUL and cut to cchBufferMax
   characters; the number copied, 0 when there is none. The device has no form that hands out
   a pointer to the resource (a NULL lpBuffer or cchBufferMax 0). */
int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);

HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);

/* The base units of dialogs in the system font: the average character width in the low word,
   the character height in the high word. */
LONG GetDialogBaseUnits(void);

#ifdef __cplusplus
}
#endif

#endif
