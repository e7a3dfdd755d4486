#pragma once
// The application object: prepares the common controls, runs the launcher modally and lets the
// process end when the launcher closes (no message loop).
#include "framework/app.h"

class CInstallerApp : public CWinApp {
public:
    CInstallerApp();
    ~CInstallerApp() override;

    BOOL InitInstance() override;
};
