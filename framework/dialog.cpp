#include "framework/dialog.h"

#include <cstring>
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

// Whether a message is meant for the dialog or one of its controls. The hook sees every dialog
// loop on the thread, message boxes shown over the dialog included, and those keep their own keys.
bool IsForDialog(const CDialog& dialog, const MSG& message) {
    return dialog.m_hWnd && message.hwnd &&
           (message.hwnd == dialog.m_hWnd || IsChild(dialog.m_hWnd, message.hwnd));
}

LRESULT CALLBACK MessageFilterProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && t_innermostRun &&
        IsForDialog(*t_innermostRun->dialog, *message)) {
        try {
            if (t_innermostRun->dialog->PreTranslateMessage(message)) {
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

// Whether a template leaves its placement to the framework: a popup at 0,0 without a centring or
// absolute-position style of its own, as MFC decides it. The dialog manager puts an owned dialog
// at its owner's client origin, so the resulting rectangle cannot tell.
bool TemplateAsksToBeCentred(HINSTANCE instance, const char* name) {
    HRSRC found = FindResourceA(instance, name, RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    DWORD size = found ? SizeofResource(instance, found) : 0;
    WORD signature = 0;
    if (data && size >= 4) {
        std::memcpy(&signature, data + 2, sizeof(signature));
    }
    // DLGTEMPLATEEX: style at 12, x and y at 18 and 20; DLGTEMPLATE: style at 0, x and y at 10, 12.
    const bool extended = signature == 0xFFFF;
    const size_t styleAt = extended ? 12 : 0, xAt = extended ? 18 : 10;
    if (!data || size < xAt + 4) {
        return false;
    }
    DWORD style;
    short x, y;
    std::memcpy(&style, data + styleAt, sizeof(style));
    std::memcpy(&x, data + xAt, sizeof(x));
    std::memcpy(&y, data + xAt + 2, sizeof(y));
    return !(style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) && x == 0 && y == 0;
}

// Centres a popup over its owner, or over the work area when it has none or the owner is hidden
// or minimised, and keeps it inside the work area (MFC's CenterWindow).
void CentreWindow(HWND window) {
    RECT box, area, over;
    GetWindowRect(window, &box);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &over);
    } else {
        over = area;
    }
    const int width = box.right - box.left, height = box.bottom - box.top;
    int x = (over.left + over.right) / 2 - width / 2;
    int y = (over.top + over.bottom) / 2 - height / 2;
    x = x + width > area.right ? area.right - width : x;
    x = x < area.left ? area.left : x;
    y = y + height > area.bottom ? area.bottom - height : y;
    y = y < area.top ? area.top : y;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
        RECT before, after;
        ::GetWindowRect(m_hWnd, &before);
        BOOL result = OnInitDialog();
        // As MFC: only a dialog that its initialisation has neither shown nor moved is centred.
        ::GetWindowRect(m_hWnd, &after);
        if (!(GetWindowLongA(m_hWnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD)) &&
            before.left == after.left && before.top == after.top &&
            TemplateAsksToBeCentred(AfxGetInstanceHandle(), m_lpszTemplateName)) {
            CentreWindow(m_hWnd);
        }
        return result;
    }
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (CWnd* control = CWnd::FromAttached(item->hwndItem)) {
            control->DrawItem(item);
            return TRUE;
        }
    }
    LRESULT result = 0;
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
