#include "framework/wnd.h"

#include <map>
#include <mutex>

namespace {

class HandleMap {
public:
    void add(HWND hwnd, CWnd* wnd)
    {
        std::lock_guard lock(m_mutex);
        m_windows[hwnd] = wnd;
    }
    void remove(HWND hwnd)
    {
        std::lock_guard lock(m_mutex);
        m_windows.erase(hwnd);
    }
    CWnd* find(HWND hwnd)
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_windows.find(hwnd);
        return it == m_windows.end() ? nullptr : it->second;
    }

private:
    std::mutex m_mutex;
    std::map<HWND, CWnd*> m_windows;
};

HandleMap& permanentMap()
{
    static HandleMap map;
    return map;
}

}  // namespace

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return permanentMap().find(hWnd);
}

void CWnd::AddPermanent(HWND hWnd, CWnd* pWnd)
{
    permanentMap().add(hWnd, pWnd);
}

void CWnd::RemovePermanent(HWND hWnd)
{
    permanentMap().remove(hWnd);
}

const CRuntimeClass CWnd::classCWnd{"CWnd", nullptr};

const CRuntimeClass* CWnd::GetRuntimeClass() const
{
    return &classCWnd;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    static const AFX_MSGMAP map{nullptr, nullptr, 0};
    return &map;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pBaseMap) {
        for (std::size_t i = 0; i < map->nCount; ++i) {
            const AFX_MSGMAP_ENTRY& entry = map->lpEntries[i];
            if (entry.nMessage != message)
                continue;
            if (message == WM_COMMAND && (entry.nID != LOWORD(wParam) || entry.nCode != HIWORD(wParam)))
                continue;
            const CurrentMessage saved = m_current;
            m_current = CurrentMessage{message, wParam, lParam};
            result = entry.pfn(*this, wParam, lParam);
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
