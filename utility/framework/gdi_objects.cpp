// The GDI wrappers' releases: each gives back what it took, once.
#include "framework/gdi_objects.h"

#include <string.h>

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::CreateCompatibleDC(CDC* reference)
{
    m_hDC = ::CreateCompatibleDC(reference != NULL ? reference->m_hDC : NULL);
    return m_hDC != NULL ? TRUE : FALSE;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    const BOOL deleted = ::DeleteDC(m_hDC);
    m_hDC = NULL;
    return deleted;
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd != NULL ? wnd->m_hWnd : NULL)
{
    m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = NULL;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd != NULL ? wnd->m_hWnd : NULL)
{
    memset(&m_ps, 0, sizeof m_ps);
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = NULL;
}

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object)
{
    if (!object)
        return FALSE;
    DeleteObject();
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ object = m_hObject;
    m_hObject = NULL;
    return object;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    const BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = NULL;
    return deleted;
}
