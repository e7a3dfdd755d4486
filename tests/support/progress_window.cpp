#include "tests/support/progress_window.h"

#include <commctrl.h>

#include "engine/state.h"

namespace {

const char kSelf[] = "ProgressWindow";

WNDPROC Subclass(HWND window, WNDPROC proc, void* self) {
    SetPropA(window, kSelf, self);
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

} // namespace

ProgressWindow::ProgressWindow(std::vector<std::string>* log) : m_log(log ? log : &m_ownLog) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    m_box = CreateWindowExA(0, "STATIC", "progress", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    m_bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 12, m_box,
                            reinterpret_cast<HMENU>(1010), GetModuleHandleA(nullptr), nullptr);
    m_field = CreateWindowExA(0, "EDIT", "0%", WS_CHILD | WS_VISIBLE, 10, 30, 60, 14, m_box,
                              reinterpret_cast<HMENU>(1006), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(m_bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    m_barProc = Subclass(m_bar, Record, this);
    m_fieldProc = Subclass(m_field, Record, this);
    g_hProcessBox = m_box;
    g_hProgressBar = m_bar;
}

ProgressWindow::~ProgressWindow() {
    g_hProcessBox = nullptr;
    g_hProgressBar = nullptr;
    Subclass(m_bar, m_barProc, nullptr);
    Subclass(m_field, m_fieldProc, nullptr);
    RemovePropA(m_bar, kSelf);
    RemovePropA(m_field, kSelf);
    DestroyWindow(m_box);
}

LRESULT CALLBACK ProgressWindow::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<ProgressWindow*>(GetPropA(window, kSelf));
    bool bar = window == self->m_bar;
    if (bar && message == PBM_SETPOS) {
        self->m_log->push_back("bar " + std::to_string(wParam));
    } else if (!bar && message == WM_SETTEXT) {
        self->m_log->push_back(std::string("field ") + reinterpret_cast<const char*>(lParam));
    }
    return CallWindowProcA(bar ? self->m_barProc : self->m_fieldProc, window, message, wParam,
                           lParam);
}

int ProgressWindow::position() const {
    return static_cast<int>(SendMessageA(m_bar, PBM_GETPOS, 0, 0));
}

std::string ProgressWindow::field() const {
    char text[64] = "";
    GetDlgItemTextA(m_box, 1006, text, sizeof(text));
    return text;
}
