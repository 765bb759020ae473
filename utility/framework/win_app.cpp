// The application object's registration and the process entry that runs it.
#include "framework/win_app.h"

namespace {
CWinApp* g_pApp = NULL;
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
        g_pApp = NULL;
}

const AFX_MSGMAP* CWinApp::GetMessageMap() const
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, NULL}};
    static const AFX_MSGMAP map = {NULL, entries};
    return &map;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0)) {
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
    return running != NULL ? running : g_pApp;
}

HINSTANCE AfxGetResourceHandle()
{
    return GetModuleHandleW(NULL);
}

int AfxWinMain(CWinApp& app)
{
    g_processApp.Get() = &app;
    if (!app.InitInstance())
        return app.ExitInstance();
    return app.Run();
}
