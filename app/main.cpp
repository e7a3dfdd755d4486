// Program entry: the one application object and the framework's start-up.
#include <windows.h>

#include "app/installer_app.h"

CInstallerApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return AfxWinMain(instance);
}
