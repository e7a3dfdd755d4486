#pragma once
// The wizard's model, port and confirmation pages.
#include <string>

#include "framework/controls.h"
#include "framework/dialog.h"

// Fills a list with the items of a configuration list, in their order whatever the list's sort
// style, and selects the first one.
void FillModelList(HWND list, const std::string& configList);

// Fills a list with the spooler's local ports in the spooler's order and selects "LPT1:" (exact
// spelling) when present. Shows the two port-list messages, owned by owner, when the spooler
// cannot tell its ports; the list then stays empty.
void FillPortList(HWND list, HWND owner);

class CDlgStep1 : public CDialog {
public:
    CDlgStep1();
    std::string m_strModel;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
};

class CDlgStep2 : public CDialog {
public:
    CDlgStep2();
    std::string m_strPort;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
};

class CDlgStep3 : public CDialog {
public:
    CDlgStep3();
    CStatic m_staticModel;
    CStatic m_staticPort;

protected:
    void DoDataExchange(CDataExchange* dx) override;
};
