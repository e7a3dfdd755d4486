// The shipped program as it starts on Windows 98 to XP before SP1, which have neither
// SetDllDirectoryA nor SetDefaultDllDirectories: Wine exports both in every version mode, so this
// entry point leaves them out. Everything else is the shipped program's own code.
#include <windows.h>

#include "app/dll_search.h"
#include "app/installer_app.h"

CInstallerApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    PreloadDllsTheSystemLoadsByName();
    return AfxWinMain(instance);
}
