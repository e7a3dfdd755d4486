#include "wizard/install_dlg.h"

#include "engine/messages.h"
#include "engine/state.h"
#include "res/strings.h"
#include "res/wizard_ids.h"
#include "wizard/progress_box.h"

MESSAGE_MAP(CDlgInstall, CDialog, OnCommand(IDC_BTN_BACK, BN_CLICKED, &CDlgInstall::OnBack),
            OnCommand(IDC_BTN_NEXT, BN_CLICKED, &CDlgInstall::OnNext))

CDlgInstall::CDlgInstall() : CDialog(IDD_INSTALL) {}

void CDlgInstall::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Control(dx, IDC_BTN_NEXT, m_btnNext);
    DDX_Control(dx, IDC_BTN_BACK, m_btnBack);
}

BOOL CDlgInstall::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(ConfigText(IDS_WIZARD_TITLE));
    m_btnBack.SetWindowText(ConfigText(IDS_BACK));
    SetCaptions(IDS_NEXT, IDS_CANCEL);

    // Pages initialise while they are created (licence read, lists filled, ports enumerated).
    m_dlgWelcome.Create(IDD_STEP_WELCOME, this);
    m_dlgAgreement.Create(IDD_STEP_AGREEMENT, this);
    m_dlgStep1.Create(IDD_STEP_MODEL, this);
    m_dlgStep2.Create(IDD_STEP_PORT, this);
    m_dlgStep3.Create(IDD_STEP_CONFIRM, this);

    RECT area;
    ::GetWindowRect(GetDlgItem(IDC_PAGE_AREA), &area);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    CDialog* pages[] = {&m_dlgWelcome, &m_dlgAgreement, &m_dlgStep1, &m_dlgStep2, &m_dlgStep3};
    for (CDialog* page : pages) {
        ::MoveWindow(page->m_hWnd, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, TRUE);
    }

    m_dlgWelcome.ShowWindow(SW_SHOW);
    m_btnBack.EnableWindow(FALSE);
    m_btnNext.EnableWindow(TRUE);
    m_btnCancel.EnableWindow(TRUE);
    return TRUE;
}

void CDlgInstall::OnCancel() {
    CDialog::OnCancel();
}

void CDlgInstall::SetCaptions(UINT nextText, UINT cancelText) {
    m_btnNext.SetWindowText(ConfigText(nextText));
    m_btnCancel.SetWindowText(ConfigText(cancelText));
}

void CDlgInstall::FocusNext() {
    // Through the dialog manager, so that the default-button frame follows the focus.
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_btnNext.m_hWnd), TRUE);
}

LRESULT CDlgInstall::OnNext(WPARAM, LPARAM) {
    if (m_nStep > 5) {
        // A click queued behind the confirming one: the installation is already under way.
        if (m_nStep < 8) {
            ++m_nStep;
        }
        return 0;
    }
    switch (m_nStep++) {
    case 1:
        m_dlgWelcome.ShowWindow(SW_HIDE);
        m_dlgAgreement.ShowWindow(SW_SHOW);
        m_btnBack.EnableWindow(TRUE);
        SetCaptions(IDS_ACCEPT, IDS_DECLINE);
        m_btnNext.Invalidate(TRUE);
        m_btnNext.UpdateWindow();
        break;
    case 2:
        m_btnNext.SetWindowText(ConfigText(IDS_NEXT));
        FocusNext();
        m_btnCancel.SetWindowText(ConfigText(IDS_CANCEL));
        m_dlgAgreement.ShowWindow(SW_HIDE);
        m_dlgStep1.ShowWindow(SW_SHOW);
        break;
    case 3:
        m_dlgStep1.UpdateData(TRUE);
        m_dlgStep1.ShowWindow(SW_HIDE);
        m_dlgStep2.ShowWindow(SW_SHOW);
        break;
    case 4:
        m_dlgStep2.UpdateData(TRUE);
        m_dlgStep2.ShowWindow(SW_HIDE);
        m_dlgStep3.ShowWindow(SW_SHOW);
        m_dlgStep3.m_staticModel.SetWindowText(m_dlgStep1.m_strModel);
        m_dlgStep3.m_staticPort.SetWindowText(m_dlgStep2.m_strPort);
        break;
    default:
        Confirm();
        break;
    }
    return 0;
}

void CDlgInstall::Confirm() {
    // Written before the check: nothing reads them until an installation starts.
    g_strPrinterPort = m_dlgStep2.m_strPort;
    g_strPrinterModel = m_dlgStep1.m_strModel;
    if (!g_strPrinterModel.empty() && !g_strPrinterPort.empty()) {
        EndDialog(IDOK);
        RunProgressBox();
        return;
    }
    ShowConfigMessage(m_hWnd, IDS_MSG_SELECT_MODEL_PORT, MB_ICONINFORMATION);
    m_nStep = 5;
    m_dlgStep2.UpdateData(TRUE);
    m_dlgStep3.m_staticModel.SetWindowText(m_dlgStep1.m_strModel);
    m_dlgStep3.m_staticPort.SetWindowText(m_dlgStep2.m_strPort);
}

void CDlgInstall::RunProgressBox() {
    RunProcessBox();
}

LRESULT CDlgInstall::OnBack(WPARAM, LPARAM) {
    // Before the first page there is nothing to go back to; once the installation has started
    // going back would let a queued Next confirm a second time.
    if (m_nStep <= 1 || m_nStep > 5) {
        return 0;
    }
    switch (m_nStep--) {
    case 2:
        m_dlgAgreement.ShowWindow(SW_HIDE);
        m_dlgWelcome.ShowWindow(SW_SHOW);
        m_btnBack.EnableWindow(FALSE);
        m_btnNext.SetWindowText(ConfigText(IDS_NEXT));
        FocusNext();
        m_btnCancel.SetWindowText(ConfigText(IDS_CANCEL));
        break;
    case 3:
        m_dlgStep1.ShowWindow(SW_HIDE);
        m_dlgAgreement.ShowWindow(SW_SHOW);
        SetCaptions(IDS_ACCEPT, IDS_DECLINE);
        break;
    case 4:
        m_dlgStep2.ShowWindow(SW_HIDE);
        m_dlgStep1.ShowWindow(SW_SHOW);
        break;
    case 5:
        m_dlgStep3.ShowWindow(SW_HIDE);
        m_dlgStep2.ShowWindow(SW_SHOW);
        break;
    }
    return 0;
}
