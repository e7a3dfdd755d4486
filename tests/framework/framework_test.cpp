// The dialog framework driven through real dialogs from the program's templates: modal runs and
// their owner, the message filter, message maps down a class chain, data exchange with list
// boxes, subclassed controls, and handle owners.
#include "framework/app.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "win32/handles.h"
#include "res/launcher_ids.h"
#include "res/wizard_ids.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr UINT kProbe = WM_APP + 1;

// A plain top-level window to own dialogs and parent pages.
class OwnerWindow : public CWnd {
public:
    OwnerWindow() {
        m_hWnd = CreateWindowExA(0, "Static", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~OwnerWindow() override { DestroyWindow(m_hWnd); }
};

class BaseDlg : public CDialog {
public:
    explicit BaseDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}
    std::vector<const char*> handled;

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnProbe(WPARAM, LPARAM) {
        handled.push_back("base");
        return 0;
    }
};
MESSAGE_MAP(BaseDlg, CDialog, OnMessage(kProbe, &BaseDlg::OnProbe))

// Ends itself from inside a command, then looks at its owner before the command returns.
class ProbeDlg : public BaseDlg {
public:
    using BaseDlg::BaseDlg;
    bool ownerEnabledAfterEnd = true;
    std::vector<UINT> filtered;

protected:
    DECLARE_MESSAGE_MAP()
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessageA(m_hWnd, kProbe, 0, 0);
        PostMessageA(GetDlgItem(IDOK), WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BTN_EXIT, BN_CLICKED), 0);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* message) override {
        if (message->message == WM_KEYDOWN) {
            filtered.push_back(static_cast<UINT>(message->wParam));
            return TRUE; // swallowed: Enter must not reach the OK button
        }
        return FALSE;
    }
    LRESULT OnEnd(WPARAM, LPARAM) {
        EndDialog(7);
        ownerEnabledAfterEnd = m_pParentWnd->IsWindowEnabled() != FALSE;
        return 0;
    }
};
MESSAGE_MAP(ProbeDlg, BaseDlg, OnCommand(IDC_BTN_EXIT, BN_CLICKED, &ProbeDlg::OnEnd))

// Its system command runs a nested modal dialog, as the launcher's About entry does; a message
// that reaches it meanwhile wants default processing too. Passed on, the close command would close.
class NestingDlg : public CDialog {
public:
    NestingDlg() : CDialog(IDD_ABOUTBOX) {}
    int declined = 0, closes = 0;

protected:
    DECLARE_MESSAGE_MAP()
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessageA(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    }
    LRESULT OnSysCommand(WPARAM, LPARAM) {
        CDialog nested(IDD_ABOUTBOX, this);
        m_nested = &nested;
        PostMessageA(m_hWnd, kProbe, 0, 0);
        nested.DoModal();
        m_nested = nullptr;
        EndDialog(7);
        return 0;
    }
    LRESULT OnProbe(WPARAM, LPARAM) {
        ++declined;
        SetHandled(false);
        m_nested->EndDialog(IDOK);
        return 0;
    }
    LRESULT OnClose(WPARAM, LPARAM) {
        ++closes;
        return 0;
    }

private:
    CDialog* m_nested = nullptr;
};
MESSAGE_MAP(NestingDlg, CDialog, OnMessage(WM_SYSCOMMAND, &NestingDlg::OnSysCommand),
            OnMessage(kProbe, &NestingDlg::OnProbe), OnMessage(WM_CLOSE, &NestingDlg::OnClose))

class CountingButton : public CButton {
public:
    int clicks = 0;

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnClick(WPARAM, LPARAM) {
        ++clicks;
        return Default();
    }
};
MESSAGE_MAP(CountingButton, CButton, OnMessage(BM_CLICK, &CountingButton::OnClick))

// Runs a nested modal dialog from a command; its own filter must get its turn again afterwards.
class OuterDlg : public BaseDlg {
public:
    using BaseDlg::BaseDlg;
    std::vector<UINT> filtered, innerFiltered;

protected:
    DECLARE_MESSAGE_MAP()
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BTN_DRIVER, BN_CLICKED), 0);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* message) override {
        if (message->message == WM_KEYDOWN) {
            filtered.push_back(static_cast<UINT>(message->wParam));
            return TRUE;
        }
        return FALSE;
    }
    LRESULT OnNested(WPARAM, LPARAM) {
        ProbeDlg inner(this);
        inner.DoModal();
        innerFiltered = inner.filtered;
        PostMessageA(GetDlgItem(IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BTN_EXIT, BN_CLICKED), 0);
        return 0;
    }
    LRESULT OnEnd(WPARAM, LPARAM) {
        EndDialog(8);
        return 0;
    }
};
MESSAGE_MAP(OuterDlg, BaseDlg, OnCommand(IDC_BTN_DRIVER, BN_CLICKED, &OuterDlg::OnNested),
            OnCommand(IDC_BTN_EXIT, BN_CLICKED, &OuterDlg::OnEnd))

class ListPage : public CDialog {
public:
    ListPage() : CDialog(IDD_STEP_MODEL) {}
    std::string m_strChoice = "kept until read";

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_LBString(dx, IDC_CHOICE_LIST, m_strChoice);
    }
};

} // namespace

TEST(ModalRun, HandsMessagesToTheFilterAndKeepsTheOwnerDisabledUntilItReturns) {
    OwnerWindow owner;
    ProbeDlg dialog(&owner);
    EXPECT_EQ(dialog.DoModal(), 7);
    EXPECT_EQ(dialog.handled, std::vector<const char*>{"base"}) << "base class's map row";
    EXPECT_EQ(dialog.filtered, std::vector<UINT>{VK_RETURN});
    EXPECT_FALSE(dialog.ownerEnabledAfterEnd);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalRun, AHandlerStaysHandledWhateverMessagesItsNestedLoopDeclines) {
    NestingDlg dialog;
    EXPECT_EQ(dialog.DoModal(), 7);
    EXPECT_EQ(dialog.declined, 1) << "the nested run handled the message";
    EXPECT_EQ(dialog.closes, 0) << "the system command went on to default processing";
}

TEST(ModelessPage, IsAChildAndExchangesTheListSelectionAsText) {
    OwnerWindow owner;
    ListPage page;
    ASSERT_TRUE(page.Create(IDD_STEP_MODEL, &owner));
    EXPECT_FALSE(page.IsWindowVisible()) << "pages start hidden";
    EXPECT_EQ(GetParent(page.m_hWnd), owner.m_hWnd);
    HWND list = page.GetDlgItem(IDC_CHOICE_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR) << "no item matched on init";

    page.UpdateData(TRUE);
    EXPECT_EQ(page.m_strChoice, "") << "nothing selected reads as empty";
    SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("b"));
    SendMessageA(list, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("a"));
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    page.UpdateData(TRUE);
    EXPECT_EQ(page.m_strChoice, "a");

    page.m_strChoice = "b";
    page.UpdateData(FALSE);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    DestroyWindow(owner.m_hWnd);
    EXPECT_EQ(page.m_hWnd, nullptr) << "a destroyed page lets go of its window";
}

TEST(ModalRun, GivesTheFilterBackToTheOuterRunWhenANestedOneEnds) {
    OwnerWindow owner;
    OuterDlg dialog(&owner);
    EXPECT_EQ(dialog.DoModal(), 8);
    EXPECT_EQ(dialog.innerFiltered, std::vector<UINT>{VK_RETURN});
    EXPECT_EQ(dialog.filtered, std::vector<UINT>{VK_ESCAPE});
}

TEST(SubclassedControl, SeesItsMessagesUntilItsWindowGoes) {
    OwnerWindow owner;
    HWND button = CreateWindowExA(0, "Button", "b", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20,
                                  owner.m_hWnd, reinterpret_cast<HMENU>(5), nullptr, nullptr);
    CountingButton control;
    ASSERT_TRUE(control.SubclassDlgItem(5, &owner));
    EXPECT_EQ(CWnd::FromAttached(button), &control);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(control.clicks, 1);
    control.SetWindowText("kept by the button itself");
    EXPECT_EQ(control.GetWindowText(), "kept by the button itself") << "default processing";
    DestroyWindow(button);
    EXPECT_EQ(control.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromAttached(button), nullptr);
}

TEST(HandleOwner, ClosesItsHandleExactlyOnceAcrossMoves) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD flags = 0;
    {
        CThreadHandle first(event);
        CThreadHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), event);
        EXPECT_TRUE(GetHandleInformation(event, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(event, &flags)) << "closed when its last owner went";
}
