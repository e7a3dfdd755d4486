// Placeholder until the launcher stands: shows the launcher's title.
#include <windows.h>

#include <string>

#include "engine/config.h"
#include "res/strings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string title;
    LoadConfigString(IDS_LAUNCHER_TITLE, title);
    MessageBoxA(nullptr, title.c_str(), "Setup", MB_OK | MB_ICONINFORMATION);
    return 0;
}
