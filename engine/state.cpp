#include "engine/state.h"

#include <commctrl.h>

std::string g_strPrinterModel;
std::string g_strPrinterPort;
HWND g_hProcessBox = nullptr;
HWND g_hProgressBar = nullptr;

namespace {

ProgressObserver g_progressObserver = nullptr;

} // namespace

void SetProgressObserver(ProgressObserver observer) {
    g_progressObserver = observer;
}

void ReportProgress(int percent, const char* text) {
    // Null handles: nobody watches (the engine driven without the wizard).
    if (g_hProgressBar) {
        SendMessageA(g_hProgressBar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    }
    if (g_hProcessBox) {
        SetDlgItemTextA(g_hProcessBox, 1006, text);
    }
    if (g_progressObserver) {
        g_progressObserver(percent, text);
    }
}
