// An exception that escapes a handler must not cross into the system's code (the trampolines are
// noexcept): each trampoline reports it in an error box and the dialog goes on working.
#include "framework/controls.h"
#include "framework/dialog.h"
#include "res/launcher_ids.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT kThrowInFilter = WM_APP + 2;
constexpr UINT kThrowInControl = WM_APP + 3;

class ThrowingButton : public CButton {
protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("thrown by a control"); }
};
MESSAGE_MAP(ThrowingButton, CButton, OnMessage(kThrowInControl, &ThrowingButton::OnThrow))

// Throws from its filter, from a command handler and from a subclassed control, one at a time as
// the test asks, and ends with the code of its exit command.
class ThrowingDlg : public CDialog {
public:
    ThrowingDlg() : CDialog(IDD_ABOUTBOX) {}
    ThrowingButton m_button;

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDOK, m_button); }
    BOOL PreTranslateMessage(MSG* message) override {
        if (message->message == kThrowInFilter) {
            throw std::runtime_error("thrown by a filter");
        }
        return FALSE;
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("thrown by a handler"); }
    LRESULT OnEnd(WPARAM, LPARAM) {
        EndDialog(9);
        return 0;
    }
};
MESSAGE_MAP(ThrowingDlg, CDialog, OnCommand(IDC_BTN_DRIVER, BN_CLICKED, &ThrowingDlg::OnThrow),
            OnCommand(IDC_BTN_EXIT, BN_CLICKED, &ThrowingDlg::OnEnd))

struct Seen {
    std::string caption, text;
    bool errorIcon = false;
};

ThrowingDlg* g_dialog = nullptr;
std::vector<Seen> g_boxes;
int g_step = 0;
DWORD g_deadline = 0;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (window != g_dialog->m_hWnd && std::string(name) == "#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The box's text is its static control (0xFFFF); the error icon is the system's hand icon.
Seen Read(HWND box) {
    Seen seen;
    char text[512] = "";
    GetWindowTextA(box, text, sizeof(text));
    seen.caption = text;
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    seen.text = text;
    HICON hand = LoadIconA(nullptr, IDI_HAND);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        seen.errorIcon = seen.errorIcon || (icon && icon == hand);
    }
    return seen;
}

// One step per tick: provoke an exception, then wait for its box, read it and press OK; at the
// end ask the dialog to close through an ordinary command.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (GetTickCount() > g_deadline) {
        ADD_FAILURE() << "stuck at step " << g_step;
        g_deadline = ~0u;
        g_dialog->EndDialog(-2);
        return;
    }
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (box) {
        g_boxes.push_back(Read(box));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
    }
    if (g_boxes.size() < static_cast<size_t>(g_step)) {
        return; // the box of this step has not shown yet
    }
    HWND dialog = g_dialog->m_hWnd;
    if (!dialog || !IsWindowEnabled(dialog)) {
        return;
    }
    switch (g_step++) {
    case 0:
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BTN_DRIVER, BN_CLICKED), 0);
        break;
    case 1:
        PostMessageA(dialog, kThrowInFilter, 0, 0);
        break;
    case 2:
        PostMessageA(g_dialog->m_button.m_hWnd, kThrowInControl, 0, 0);
        break;
    default:
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BTN_EXIT, BN_CLICKED), 0);
        break;
    }
}

} // namespace

TEST(UnexpectedException, EachTrampolineShowsAnErrorBoxAndTheDialogStaysUsable) {
    ThrowingDlg dialog;
    g_dialog = &dialog;
    g_deadline = GetTickCount() + 20000;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
    INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, timer);
    g_dialog = nullptr;
    EXPECT_EQ(result, 9) << "the exit command after the exceptions must still end the dialog";
    std::vector<std::string> texts;
    for (const Seen& seen : g_boxes) {
        texts.push_back(seen.text);
        EXPECT_EQ(seen.caption, "Setup") << seen.text;
        EXPECT_TRUE(seen.errorIcon) << seen.text;
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Unexpected error in a dialog: thrown by a handler",
                                        "Unexpected error in a dialog: thrown by a filter",
                                        "Unexpected error in a control: thrown by a control"}));
}
