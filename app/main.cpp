// Program entry: the one application object and the framework's start-up.
#include <windows.h>

#include "app/dll_search.h"
#include "app/installer_app.h"

CInstallerApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LoadDllsFromTheSystemFolderOnly();
    return AfxWinMain(instance);
}
