#include "wizard/progress_box.h"

#include <commctrl.h>
#include <process.h>

#include <atomic>
#include <cstdio>
#include <exception>
#include <string>

#include "engine/messages.h"
#include "engine/install.h"
#include "engine/services.h"
#include "engine/state.h"
#include "framework/app.h"
#include "framework/wnd.h"
#include "res/strings.h"
#include "res/wizard_ids.h"

int g_nProgressPercent = 0;
HANDLE g_hInstallThread = nullptr;
unsigned g_nInstallThreadId = 0;

namespace {

// True from the worker's start until it is about to close the box. While it holds, a close
// request by the user is refused: ending the box would free the launcher while the install goes
// on, and the worker would later report to a window that is gone.
std::atomic<bool> s_workerRunning{false};

void OnInitDialog(HWND box) {
    g_hProgressBar = GetDlgItem(box, IDC_PROGRESS_BAR);
    SendMessageA(g_hProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(g_hProgressBar, PBM_SETPOS, 0, 0);
    SendMessageA(g_hProgressBar, PBM_SETSTEP, 1, 0);
    char percent[28];
    std::snprintf(percent, sizeof(percent), "%d%%", g_nProgressPercent);
    SetDlgItemTextA(box, IDC_PERCENT_TEXT, percent);

    s_workerRunning = true;
    g_hInstallThread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, InstallThreadProc, box, 0, &g_nInstallThreadId));
    if (!g_hInstallThread) {
        // Nothing will run: the user's close box is the way out.
        s_workerRunning = false;
    }
}

void OnClose(HWND box) {
    if (s_workerRunning) {
        return;
    }
    EndDialog(box, 0);
    if (g_hInstallThread) {
        CloseHandle(g_hInstallThread);
        g_hInstallThread = nullptr;
    }
}

void ShowOutcome(bool installed) {
    ShowMessage(g_hProcessBox,
                g_strPrinterModel +
                    ConfigText(installed ? IDS_MSG_SETUP_COMPLETE : IDS_MSG_SETUP_FAIL),
                installed ? MB_ICONINFORMATION : MB_ICONERROR);
}

} // namespace

INT_PTR CALLBACK ProcessBoxProc(HWND window, UINT message, WPARAM, LPARAM) noexcept {
    g_hProcessBox = window;
    try {
        if (message == WM_INITDIALOG) {
            OnInitDialog(window);
        } else if (message == WM_CLOSE) {
            OnClose(window);
        }
    } catch (const std::exception& e) {
        ReportUnexpected("the progress box", e.what());
    } catch (...) {
        ReportUnexpected("the progress box", "unknown exception");
    }
    // The dialog manager's default handling applies to everything, the initial focus included.
    return FALSE;
}

unsigned __stdcall InstallThreadProc(void* argument) {
    // An exception that left the install sequence (out of memory) is a failed installation like
    // any other; escaping the thread, it would end the program with the launcher still disabled.
    bool installed = false;
    try {
        installed = InstallPrinter() != 0;
        if (installed) {
            ReportProgress(ProgressStep::Installed);
            g_nProgressPercent = 100;
        }
        ShowOutcome(installed);
    } catch (...) {
        try {
            ShowOutcome(installed);
        } catch (...) {
            // Not even the message could be made: the box still closes, and the user is back
            // at a working launcher.
        }
    }
    s_workerRunning = false;
    SendMessageA(static_cast<HWND>(argument), WM_CLOSE, 0, 0);
    return 1;
}

void RunProcessBox() {
    // The bar's class must exist before the template's controls are made.
    AfxInitCommonControls(ICC_PROGRESS_CLASS);
    if (DialogBoxParamA(AfxGetInstanceHandle(), "ProcessBox", nullptr, ProcessBoxProc, 0) == -1) {
        // No box, so no worker: nothing was installed, and the user must not be left thinking
        // otherwise. Over the launcher, to which the wizard's end returns.
        CWnd* launcher = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
        ShowConfigMessage(launcher ? launcher->m_hWnd : nullptr, IDS_MSG_NO_PROGRESS_BOX,
                          MB_ICONERROR);
    }
}
