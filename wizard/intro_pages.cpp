#include "wizard/intro_pages.h"

#include "engine/messages.h"
#include "engine/paths.h"
#include "res/strings.h"
#include "res/wizard_ids.h"

bool ReadLicenceText(const char* fileName, std::string& text) {
    text.clear();
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    ULONGLONG size = 0;
    bool ok = FileLength(file, size);
    if (ok) {
        size_t wanted = size > kLicenceTextLimit ? kLicenceTextLimit : static_cast<size_t>(size);
        text.assign(wanted, '\0');
        DWORD got = 0;
        ok = wanted == 0 ||
             ReadFile(file, text.data(), static_cast<DWORD>(wanted), &got, nullptr) != FALSE;
        text.resize(ok ? got : 0);
    }
    CloseHandle(file);
    // A NUL ends the text, as it would end the control's.
    size_t end = text.find('\0');
    if (end != std::string::npos) {
        text.resize(end);
    }
    return ok;
}

CDlgStepWelcome::CDlgStepWelcome() : CDialog(IDD_STEP_WELCOME) {}

BOOL CDlgStepWelcome::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemTextA(m_hWnd, IDC_WELCOME_TEXT, ConfigText(IDS_WELCOME_TEXT).c_str());
    return TRUE;
}

CDlgStepAgreement::CDlgStepAgreement() : CDialog(IDD_STEP_AGREEMENT) {}

void CDlgStepAgreement::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_AGREEMENT_TEXT, m_editAgreement);
}

BOOL CDlgStepAgreement::OnInitDialog() {
    CDialog::OnInitDialog();
    std::string text;
    // A missing licence file leaves the box empty without a word; accepting still works.
    if (ReadLicenceText(ConfigText(IDS_AGREEMENT_FILE).c_str(), text)) {
        // Past the default limit of a few dozen kilobytes the control would refuse the text.
        m_editAgreement.SendMessage(EM_SETLIMITTEXT, kLicenceTextLimit);
        m_editAgreement.SetWindowText(text);
    }
    return TRUE;
}
