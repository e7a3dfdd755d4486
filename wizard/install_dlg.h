#pragma once
// The installation wizard: five pages in one page area, stepped through with Back and Next; the
// confirming Next hands the selection to the engine and runs the progress box.
#include "framework/controls.h"
#include "framework/dialog.h"
#include "wizard/intro_pages.h"
#include "wizard/selection_pages.h"

class CDlgInstall : public CDialog {
public:
    CDlgInstall();

    CDlgStepWelcome m_dlgWelcome;
    CDlgStepAgreement m_dlgAgreement;
    CDlgStep1 m_dlgStep1;
    CDlgStep2 m_dlgStep2;
    CDlgStep3 m_dlgStep3;
    CButton m_btnCancel;
    CButton m_btnNext;
    CButton m_btnBack;
    // 1 to 5: the page shown; 6 (up to 8 with queued clicks) once the installation has started.
    int m_nStep = 1;

    LRESULT OnBack(WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT OnNext(WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    // Runs the progress box; a seam so that the frame can be tested without installing.
    virtual void RunProgressBox();

private:
    void SetCaptions(UINT nextText, UINT cancelText);
    void FocusNext();
    void Confirm();
};
