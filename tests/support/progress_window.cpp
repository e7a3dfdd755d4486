#include "tests/support/progress_window.h"

#include <commctrl.h>

#include "engine/state.h"

ProgressWindow::ProgressWindow() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    m_box = CreateWindowExA(0, "STATIC", "progress", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    m_bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 12, m_box,
                            reinterpret_cast<HMENU>(1010), GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(0, "EDIT", "0%", WS_CHILD | WS_VISIBLE, 10, 30, 60, 14, m_box,
                    reinterpret_cast<HMENU>(1006), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(m_bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    g_hProcessBox = m_box;
    g_hProgressBar = m_bar;
}

ProgressWindow::~ProgressWindow() {
    g_hProcessBox = nullptr;
    g_hProgressBar = nullptr;
    DestroyWindow(m_box);
}

int ProgressWindow::position() const {
    return static_cast<int>(SendMessageA(m_bar, PBM_GETPOS, 0, 0));
}

std::string ProgressWindow::field() const {
    char text[64] = "";
    GetDlgItemTextA(m_box, 1006, text, sizeof(text));
    return text;
}
