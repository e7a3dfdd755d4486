// The yardstick for start-up time: the smallest dialog program, built like Setup.exe.
#include <windows.h>

namespace {

INT_PTR CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, MinimalProc, 0));
}
