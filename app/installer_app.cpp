#include "app/installer_app.h"

#include <commctrl.h>

#include "app/instance_lock.h"
#include "app/running_copy.h"
#include "app/setup_dlg.h"
#include "app/unattended.h"
#include "framework/wnd.h"

namespace {

// The framework's registry key, in code page 936; the program keeps no settings, so nothing is
// stored under it.
const char kRegistryKey[] = "\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2\xCF\xF2\xB5\xBC\xC9\xFA\xB3\xC9"
                            "\xB5\xC4\xB1\xBE\xB5\xD8\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2";

} // namespace

CInstallerApp::CInstallerApp() = default;

CInstallerApp::~CInstallerApp() = default;

BOOL CInstallerApp::InitInstance() {
    // Before anything that could make a window: an unattended run may have no desktop at all.
    if (RunCommandLine(GetCommandLineA(), m_nExitCode)) {
        return FALSE;
    }
    AfxInitCommonControls(ICC_WIN95_CLASSES);

    CWinApp::InitInstance();
    EnableControlContainer();
    SetRegistryKey(kRegistryKey);

    // Held until the launcher has closed: one installation at a time across the machine.
    CInstanceLock lock;
    if (!GoOnAsTheOnlyCopy(lock)) {
        return FALSE;
    }
    CSetupDlg launcher;
    m_pMainWnd = &launcher;
    launcher.DoModal();
    m_pMainWnd = nullptr;
    // No message loop: the process ends with the launcher.
    return FALSE;
}
