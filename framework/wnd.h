#pragma once
// Window objects and their per-class message maps. A window object is tied to its window for the
// window's life (its address lives in the window), so it can be neither copied nor moved.
#include <windows.h>

#include <string>

class CWnd;

// One row of a class's message map: a message, and for WM_COMMAND and WM_NOTIFY the control
// identifier and notification code it is meant for.
using MessageHandler = LRESULT (CWnd::*)(WPARAM wParam, LPARAM lParam);
struct MessageMapEntry {
    UINT message;
    UINT id;
    UINT code;
    MessageHandler handler;
};
struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
    size_t count;
};

// Rows for a derived class's table.
template <class T>
constexpr MessageMapEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    return {message, 0, 0, static_cast<MessageHandler>(handler)};
}
template <class T>
constexpr MessageMapEntry OnCommand(UINT id, UINT code, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    return {WM_COMMAND, id, code, static_cast<MessageHandler>(handler)};
}

// A class's map, chained to its base class's: MESSAGE_MAP(CMyButton, CButton, entries...)
// defines CMyButton::GetMessageMap().
#define DECLARE_MESSAGE_MAP() const MessageMap* GetMessageMap() const override;
#define MESSAGE_MAP(Class, Base, ...)                                                              \
    const MessageMap* Class::GetMessageMap() const {                                               \
        static const MessageMapEntry entries[] = {__VA_ARGS__};                                    \
        static const MessageMap map = {Base::GetMessageMap(), entries,                             \
                                       sizeof(entries) / sizeof(entries[0])};                      \
        return &map;                                                                               \
    }

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    void SetWindowText(const std::string& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }
    std::string GetWindowText() const;
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }

    // Attaches the object to an existing control: PreSubclassWindow first, then the control's
    // messages go through this class's message map.
    BOOL SubclassWindow(HWND window);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    void UnsubclassWindow();

    // The object attached to a window by subclassing, or null.
    static CWnd* FromAttached(HWND window);

    virtual void PreSubclassWindow() {}
    // Owner-drawn controls: the parent dialog reflects WM_DRAWITEM here.
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}

protected:
    virtual const MessageMap* GetMessageMap() const;

    // The default processing of the message being handled (subclassed controls).
    LRESULT Default();
    // Handlers of a dialog that want the dialog manager's processing as well call this; it speaks
    // for the message being handled only, not for one whose handler runs a nested loop around it.
    void SetHandled(bool handled) { m_handled = handled; }

    // Finds the handler for a message in the class's map and its bases'; false when none.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    struct Current {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } m_current{};
    bool m_handled = false;
    bool m_subclassed = false;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data) noexcept;
};

// Tells of an exception that reached a window procedure; it must never cross into Win32.
void ReportUnexpected(const char* where, const char* what) noexcept;

// Registers the common controls' window classes named by ICC_ flags, from comctl32 in the system
// folder; FALSE when that cannot be loaded.
BOOL AfxInitCommonControls(DWORD classes);
