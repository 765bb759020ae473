#include "framework/win_app.h"

namespace {
CWinApp* g_pApp = nullptr;
CProcessLocal<CWinApp*> g_processApp;
}  // namespace

CWinApp::CWinApp()
{
    // The program's one global object is made first, before anything runs; an application
    // object made later (a test's) does not replace it.
    if (!g_pApp)
        g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

const AFX_MSGMAP* CWinApp::GetMessageMap() const
{
    static const AFX_MSGMAP map{nullptr, nullptr, 0};
    return &map;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    m_state->exitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return m_state->exitCode;
}

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey)
{
    m_state->registryKey = lpszRegistryKey ? lpszRegistryKey : L"";
}

std::wstring CWinApp::GetRegistryKey()
{
    return m_state->registryKey;
}

CWinApp* AfxGetApp()
{
    CWinApp* running = g_processApp.Get();
    return running ? running : g_pApp;
}

HINSTANCE AfxGetResourceHandle()
{
    return GetModuleHandleW(nullptr);
}

int AfxWinMain(CWinApp& app)
{
    g_processApp.Get() = &app;
    if (!app.InitInstance())
        return app.ExitInstance();
    return app.Run();
}
