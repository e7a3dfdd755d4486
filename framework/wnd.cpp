#include "framework/wnd.h"

#include <commctrl.h>

#include <cstdio>
#include <exception>
#include <vector>

#include "win32/system_dll.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x5E7;

// The subclassing calls, by ordinal: comctl32 exports them by name only from 5.82 on, but by
// these numbers from 4.72 (Windows 98) on.
struct Subclassing {
    BOOL(WINAPI* set)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
    BOOL(WINAPI* get)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
    BOOL(WINAPI* remove)(HWND, SUBCLASSPROC, UINT_PTR);
    LRESULT(WINAPI* defProc)(HWND, UINT, WPARAM, LPARAM);
};

template <class Function> void LookUpOrdinal(HMODULE module, WORD ordinal, Function& function) {
    function = reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

// The common controls from the system folder, never from the program's, loaded once and kept.
HMODULE CommonControls() {
    static const HMODULE module = LoadSystemDll("comctl32.dll");
    return module;
}

// All four or none.
const Subclassing& Comctl() {
    static const Subclassing calls = [] {
        Subclassing found{};
        HMODULE comctl = CommonControls();
        if (comctl) {
            LookUpOrdinal(comctl, 410, found.set);
            LookUpOrdinal(comctl, 411, found.get);
            LookUpOrdinal(comctl, 412, found.remove);
            LookUpOrdinal(comctl, 413, found.defProc);
        }
        if (!found.set || !found.get || !found.remove || !found.defProc) {
            found = Subclassing{};
        }
        return found;
    }();
    return calls;
}

} // namespace

BOOL AfxInitCommonControls(DWORD classes) {
    using Function = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto function = LookUpFunction<Function>(CommonControls(), "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls = {sizeof(controls), classes};
    return function ? function(&controls) : FALSE;
}

void ReportUnexpected(const char* where, const char* what) noexcept {
    // wsprintfA has no bound of its own, and a what() may be any length.
    char text[512];
    std::snprintf(text, sizeof(text), "Unexpected error in %s: %s", where ? where : "",
                  what ? what : "");
    OutputDebugStringA(text);
    MessageBoxA(nullptr, text, "Setup", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

CWnd::~CWnd() {
    UnsubclassWindow();
}

std::string CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
    ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    return text.data();
}

const MessageMap* CWnd::GetMessageMap() const {
    static const MessageMap map = {nullptr, nullptr, 0};
    return &map;
}

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    UINT id = 0, code = 0;
    if (message == WM_COMMAND) {
        id = LOWORD(wParam);
        code = HIWORD(wParam);
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        id = static_cast<UINT>(header->idFrom);
        code = header->code;
    }
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            const MessageMapEntry& entry = map->entries[i];
            if (entry.message == message && entry.id == id && entry.code == code) {
                // The flag belongs to this dispatch: a handler that runs a nested loop dispatches
                // other messages to this object meanwhile, and their answers must not become ours.
                // The guard gives an enclosing dispatch its flag back, also when a handler throws;
                // the return value is read before it does.
                struct Restore {
                    bool& flag;
                    bool saved;
                    ~Restore() { flag = saved; }
                } restore{m_handled, m_handled};
                m_handled = true;
                result = (this->*entry.handler)(wParam, lParam);
                return m_handled;
            }
        }
    }
    return false;
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (!window || m_hWnd) {
        return FALSE;
    }
    m_hWnd = window;
    PreSubclassWindow();
    if (!Comctl().set ||
        !Comctl().set(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        m_hWnd = nullptr;
        return FALSE;
    }
    m_subclassed = true;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

void CWnd::UnsubclassWindow() {
    if (m_subclassed && m_hWnd) {
        Comctl().remove(m_hWnd, SubclassProc, kSubclassId);
    }
    m_subclassed = false;
}

CWnd* CWnd::FromAttached(HWND window) {
    DWORD_PTR data = 0;
    if (window && Comctl().get && Comctl().get(window, SubclassProc, kSubclassId, &data)) {
        return reinterpret_cast<CWnd*>(data);
    }
    return nullptr;
}

LRESULT CWnd::Default() {
    return Comctl().defProc(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<CWnd*>(data);
    if (message == WM_NCDESTROY) {
        Comctl().remove(window, SubclassProc, kSubclassId);
        self->m_subclassed = false;
        self->m_hWnd = nullptr;
        return Comctl().defProc(window, message, wParam, lParam);
    }
    Current saved = self->m_current;
    self->m_current = {message, wParam, lParam};
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->Dispatch(message, wParam, lParam, result);
    } catch (const std::exception& e) {
        ReportUnexpected("a control", e.what());
    } catch (...) {
        ReportUnexpected("a control", "unknown exception");
    }
    self->m_current = saved;
    return handled ? result : Comctl().defProc(window, message, wParam, lParam);
}
