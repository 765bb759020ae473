// The window objects by handle, and the walk of the message tables from a class to its bases.
#include "framework/wnd.h"

#include "framework/critical_section.h"

#include <map>

namespace {

class CHandleMap {
public:
    void Add(HWND hwnd, CWnd* wnd)
    {
        CSingleLock lock(&m_lock, TRUE);
        m_windows[hwnd] = wnd;
    }
    void Remove(HWND hwnd)
    {
        CSingleLock lock(&m_lock, TRUE);
        m_windows.erase(hwnd);
    }
    CWnd* Find(HWND hwnd)
    {
        CSingleLock lock(&m_lock, TRUE);
        const std::map<HWND, CWnd*>::const_iterator it = m_windows.find(hwnd);
        return it == m_windows.end() ? NULL : it->second;
    }

private:
    CCriticalSection m_lock;
    std::map<HWND, CWnd*> m_windows;
};

// Made before any window, so no two threads ever race to make it.
CHandleMap g_permanentMap;

}  // namespace

CWnd::CWnd() : m_hWnd(NULL)
{
    m_current.message = 0;
    m_current.wParam = 0;
    m_current.lParam = 0;
}

CWnd::~CWnd() {}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return g_permanentMap.Find(hWnd);
}

void CWnd::AddPermanent(HWND hWnd, CWnd* pWnd)
{
    g_permanentMap.Add(hWnd, pWnd);
}

void CWnd::RemovePermanent(HWND hWnd)
{
    g_permanentMap.Remove(hWnd);
}

const CRuntimeClass CWnd::classCWnd = {"CWnd", NULL};

const CRuntimeClass* CWnd::GetRuntimeClass() const
{
    return &classCWnd;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, NULL}};
    static const AFX_MSGMAP map = {NULL, entries};
    return &map;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map != NULL; map = map->pBaseMap) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn != NULL; ++entry) {
            if (entry->nMessage != message)
                continue;
            if (message == WM_COMMAND && (entry->nID != LOWORD(wParam) || entry->nCode != HIWORD(wParam)))
                continue;
            // A handler may run another message's handler (a sent message); Default() of each
            // takes its own message.
            const CurrentMessage saved = m_current;
            m_current.message = message;
            m_current.wParam = wParam;
            m_current.lParam = lParam;
            result = entry->pfn(*this, wParam, lParam);
            m_current = saved;
            return true;
        }
    }
    if (message == WM_COMMAND && OnCommandFallback(wParam, lParam)) {
        result = 0;
        return true;
    }
    return false;
}

bool CWnd::OnCommandFallback(WPARAM, LPARAM)
{
    return false;
}

LRESULT CWnd::Default()
{
    return DefWindowProcW(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}
