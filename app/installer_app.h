#pragma once
// The application object: prepares the common controls, runs the launcher modally and lets the
// process end when the launcher closes (no message loop).
#include "framework/app.h"

class CInstallerApp : public CWinApp {
public:
    CInstallerApp();
    ~CInstallerApp() override;

    BOOL InitInstance() override;
    // The process's exit code: 0 for the launcher, the unattended run's own otherwise.
    int ExitInstance() override { return m_nExitCode; }

private:
    int m_nExitCode = 0;
};
