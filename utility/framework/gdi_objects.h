// Scoped wrappers of device contexts, brushes and bitmaps: each releases what it holds.
#ifndef VELORIN_FRAMEWORK_GDI_OBJECTS_H
#define VELORIN_FRAMEWORK_GDI_OBJECTS_H

#include "framework/wnd.h"

#include <windows.h>

class CDC {
public:
    CDC() : m_hDC(NULL) {}
    virtual ~CDC();

    // A memory context like `reference` (or the screen's).
    BOOL CreateCompatibleDC(CDC* reference);
    BOOL DeleteDC();
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    HDC m_hDC;

private:
    CDC(const CDC&);
    CDC& operator=(const CDC&);
};

// The client area of a window, for drawing outside WM_PAINT.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    virtual ~CClientDC();

private:
    HWND m_hWnd;
};

// Painting in WM_PAINT: BeginPaint now, EndPaint at the end of the scope.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    virtual ~CPaintDC();

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

class CGdiObject {
public:
    CGdiObject() : m_hObject(NULL) {}
    virtual ~CGdiObject();

    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    HGDIOBJ m_hObject;

private:
    CGdiObject(const CGdiObject&);
    CGdiObject& operator=(const CGdiObject&);
};

class CBrush : public CGdiObject {
public:
    BOOL CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CBitmap : public CGdiObject {
public:
    int GetBitmap(BITMAP* info) const { return ::GetObjectW(m_hObject, sizeof(BITMAP), info); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

#endif
