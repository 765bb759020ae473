// The application object and the process entry that runs it.
#ifndef VELORIN_FRAMEWORK_WIN_APP_H
#define VELORIN_FRAMEWORK_WIN_APP_H

#include "framework/process_local.h"
#include "framework/wnd.h"

#include <windows.h>

#include <string>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();

    virtual const AFX_MSGMAP* GetMessageMap() const;
    // FALSE ends the process without running a message loop.
    virtual BOOL InitInstance();
    // The message loop of the main thread, until WM_QUIT; its wParam is the exit code.
    virtual int Run();
    virtual int ExitInstance();

    // The root under which per-application settings would be kept.
    void SetRegistryKey(LPCWSTR lpszRegistryKey);
    std::wstring GetRegistryKey();

    // The main window of the calling process.
    CWnd*& MainWnd() { return m_state->mainWnd; }

private:
    CWinApp(const CWinApp&);
    CWinApp& operator=(const CWinApp&);

    struct ProcessState {
        ProcessState() : mainWnd(NULL), exitCode(0) {}
        CWnd* mainWnd;
        std::wstring registryKey;
        int exitCode;
    };
    CProcessLocal<ProcessState> m_state;
};

// The application object of the calling process: the one its entry runs, otherwise the first
// one made.
CWinApp* AfxGetApp();
// The module the program's resources are loaded from.
HINSTANCE AfxGetResourceHandle();
// The process entry: runs the program's application object and returns the exit code. Several
// programs may be linked together (a test's and the utility), so the entry names its own.
int AfxWinMain(CWinApp& app);

#endif
