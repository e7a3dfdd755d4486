#pragma once
// The wizard's first two pages: the welcome text and the licence agreement.
#include <string>

#include "framework/controls.h"
#include "framework/dialog.h"

// Licence texts beyond this are cut here: nobody reads further, and an edit control holding
// megabytes would keep the page from opening for a long time.
constexpr size_t kLicenceTextLimit = 1024 * 1024;

// The licence file as the page shows it: its bytes up to the first NUL (and the limit above).
// False when the file cannot be opened or read; the text is then empty.
bool ReadLicenceText(const char* fileName, std::string& text);

class CDlgStepWelcome : public CDialog {
public:
    CDlgStepWelcome();

protected:
    BOOL OnInitDialog() override;
};

class CDlgStepAgreement : public CDialog {
public:
    CDlgStepAgreement();

    CEdit m_editAgreement;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
};
