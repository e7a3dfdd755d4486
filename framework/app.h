#pragma once
// The application object: one per process, its start-up hook runs from WinMain.
#include "framework/wnd.h"

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns whether to run a message loop afterwards.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    virtual int ExitInstance() { return 0; }

    // Profile settings would live under HKEY_CURRENT_USER\Software\key\app; the key is only kept.
    void SetRegistryKey(const char* key) { m_pszRegistryKey = key; }
    // ActiveX controls in dialogs: nothing of ours needs them, so this only records the wish.
    void EnableControlContainer() { m_bControlContainer = true; }

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    const char* m_pszAppName;
    const char* m_pszRegistryKey = nullptr;
    bool m_bControlContainer = false;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// The program's entry: start-up hook, then a message loop only when it asks for one. Exit code 0
// unless the loop ends with another.
int AfxWinMain(HINSTANCE instance);
