#include "framework/dialog.h"

#include <exception>

#include "framework/app.h"
#include "framework/controls.h"

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) {
        control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
    }
}

void DDX_LBString(CDataExchange* dx, int id, std::string& value) {
    HWND list = dx->m_pDlgWnd->GetDlgItem(id);
    if (dx->m_bSaveAndValidate) {
        LRESULT index = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
        value = index == LB_ERR ? std::string() : CListBox::ItemText(list, static_cast<int>(index));
        return;
    }
    LRESULT index = ::SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(value.c_str()));
    ::SendMessageA(list, LB_SETCURSEL, index == LB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCEA(templateId)), m_pParentWnd(parent) {}

CDialog::CDialog(const char* templateName, CWnd* parent)
    : m_lpszTemplateName(templateName), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd && !m_subclassed) {
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

namespace {

// The modal dialogs now running on this thread, innermost first. The dialog manager's loop offers
// every message to the message-filter hook first; that is where PreTranslateMessage gets its turn.
// A chain of plain pointers: a thread-local object with a destructor would need XP's
// GetModuleHandleExW.
struct ModalRunLink {
    CDialog* dialog;
    const ModalRunLink* outer;
};
thread_local const ModalRunLink* t_innermostRun = nullptr;
thread_local HHOOK t_filterHook = nullptr;

LRESULT CALLBACK MessageFilterProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == MSGF_DIALOGBOX && t_innermostRun) {
        try {
            if (t_innermostRun->dialog->PreTranslateMessage(reinterpret_cast<MSG*>(lParam))) {
                return TRUE;
            }
        } catch (const std::exception& e) {
            ReportUnexpected("a dialog", e.what());
        } catch (...) {
            ReportUnexpected("a dialog", "unknown exception");
        }
    }
    return CallNextHookEx(t_filterHook, code, wParam, lParam);
}

class ModalRun {
public:
    explicit ModalRun(CDialog* dialog) : m_link{dialog, t_innermostRun} {
        if (!m_link.outer) {
            t_filterHook =
                SetWindowsHookExA(WH_MSGFILTER, MessageFilterProc, nullptr, GetCurrentThreadId());
        }
        t_innermostRun = &m_link;
    }
    ~ModalRun() {
        t_innermostRun = m_link.outer;
        if (!m_link.outer && t_filterHook) {
            UnhookWindowsHookEx(t_filterHook);
            t_filterHook = nullptr;
        }
    }
    ModalRun(const ModalRun&) = delete;
    ModalRun& operator=(const ModalRun&) = delete;

private:
    ModalRunLink m_link;
};

// Templates placed at 0,0 come up centred: on the owner, or on the work area without one.
void CentreOnOwner(HWND window) {
    RECT box, area;
    GetWindowRect(window, &box);
    if (box.left != 0 || box.top != 0) {
        return;
    }
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    int x = area.left + ((area.right - area.left) - (box.right - box.left)) / 2;
    int y = area.top + ((area.bottom - area.top) - (box.bottom - box.top)) / 2;
    SetWindowPos(window, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!m_pParentWnd && AfxGetApp() && AfxGetApp()->m_pMainWnd &&
        AfxGetApp()->m_pMainWnd != this) {
        owner = AfxGetApp()->m_pMainWnd->m_hWnd;
    }
    // The owner stays disabled until the run has returned, not just until EndDialog: work done
    // after EndDialog inside the same command (a nested modal box) must not free the owner.
    m_hDisabledOwner = owner && ::IsWindowEnabled(owner) ? owner : nullptr;
    if (m_hDisabledOwner) {
        ::EnableWindow(m_hDisabledOwner, FALSE);
    }
    m_modal = true;
    INT_PTR result;
    {
        ModalRun run(this);
        result = DialogBoxParamA(AfxGetInstanceHandle(), m_lpszTemplateName, owner, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    }
    m_hWnd = nullptr;
    m_modal = false;
    if (m_hDisabledOwner) {
        ::EnableWindow(m_hDisabledOwner, TRUE);
        ::SetActiveWindow(m_hDisabledOwner);
        m_hDisabledOwner = nullptr;
    }
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_lpszTemplateName = MAKEINTRESOURCEA(templateId);
    m_pParentWnd = parent;
    HWND window = CreateDialogParamA(AfxGetInstanceHandle(), m_lpszTemplateName,
                                     parent ? parent->m_hWnd : nullptr, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    // A page must be a child, or it would float free of the frame that places it.
    if (window && !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
        DestroyWindow(window);
        m_hWnd = nullptr;
        return FALSE;
    }
    return window != nullptr;
}

void CDialog::EndDialog(int result) {
    if (m_hWnd && m_modal) {
        ::EndDialog(m_hWnd, result);
        if (m_hDisabledOwner) {
            ::EnableWindow(m_hDisabledOwner, FALSE);
        }
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL save) {
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG*) {
    return FALSE;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (m_modal) {
            CentreOnOwner(m_hWnd);
        }
        return OnInitDialog();
    }
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (CWnd* control = CWnd::FromAttached(item->hwndItem)) {
            control->DrawItem(item);
            return TRUE;
        }
    }
    LRESULT result = 0;
    m_handled = false;
    if (Dispatch(message, wParam, lParam, result)) {
        switch (message) {
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
        case WM_QUERYDRAGICON:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            return static_cast<INT_PTR>(result);
        default:
            SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
    if (message == WM_COMMAND && (lParam == 0 || HIWORD(wParam) == BN_CLICKED)) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->m_hWnd = window;
    }
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        ReportUnexpected("a dialog", e.what());
    } catch (...) {
        ReportUnexpected("a dialog", "unknown exception");
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}
