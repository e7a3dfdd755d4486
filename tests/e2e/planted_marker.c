/* Planted beside the program under a system DLL's name: when loaded, it leaves "<its path>.loaded"
   and does nothing else. It exports nothing, so a program that imports from it does not start. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 8];
        DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatA(path, ".loaded");
            HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (marker != INVALID_HANDLE_VALUE) {
                CloseHandle(marker);
            }
        }
    }
    return TRUE;
}
