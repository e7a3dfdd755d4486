#include "engine/state.h"

#include <commctrl.h>

std::string g_strPrinterModel;
std::string g_strPrinterPort;
HWND g_hProcessBox = nullptr;
HWND g_hProgressBar = nullptr;

namespace {

ProgressObserver g_progressObserver = nullptr;

const char* ProgressText(ProgressStep step) {
    switch (step) {
    case ProgressStep::Started:
        return "10%";
    case ProgressStep::Staged:
        return "20%";
    case ProgressStep::DriverAdded:
        return "60%";
    case ProgressStep::PrinterAdded:
        return "80%";
    case ProgressStep::Installed:
        return "100%";
    }
    return "";
}

} // namespace

void SetProgressObserver(ProgressObserver observer) {
    g_progressObserver = observer;
}

void ReportProgress(ProgressStep step) {
    int percent = static_cast<int>(step);
    const char* text = ProgressText(step);
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
