/* Planted beside the program under a system program's name: when started, it leaves
   "<its path>.ran" and ends, without a window. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    char path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    if (length > 0 && length < MAX_PATH) {
        HANDLE marker;
        lstrcatA(path, ".ran");
        marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (marker != INVALID_HANDLE_VALUE) {
            CloseHandle(marker);
        }
    }
    return 0;
}
