#include "wizard/selection_pages.h"

#include <cstring>
#include <vector>

#include "engine/config.h"
#include "engine/messages.h"
#include "engine/services.h"
#include "res/strings.h"
#include "res/wizard_ids.h"

void FillModelList(HWND list, const std::string& configList) {
    int index = 0;
    for (const std::string& model : SplitConfigList(configList)) {
        SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(index++),
                     reinterpret_cast<LPARAM>(model.c_str()));
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
}

void FillPortList(HWND list, HWND owner) {
    SystemServices& services = Services();
    DWORD needed = 0, returned = 0;
    // A spooler without ports answers the size question with success: no list either way.
    if (services.enumPorts(1, nullptr, 0, &needed, &returned) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        ShowConfigMessage(owner, IDS_MSG_NO_PORT_LIST, MB_ICONINFORMATION);
        return;
    }
    std::vector<BYTE> buffer(needed, 0);
    if (!services.enumPorts(1, buffer.data(), needed, &needed, &returned)) {
        ShowConfigMessage(owner, IDS_MSG_ENUM_PORTS_FAILED, MB_ICONINFORMATION);
        return;
    }
    // The spooler cannot have returned more records than fit its own size answer.
    if (static_cast<size_t>(returned) > buffer.size() / sizeof(PortRecord)) {
        ShowConfigMessage(owner, IDS_MSG_ENUM_PORTS_FAILED, MB_ICONINFORMATION);
        return;
    }
    const auto* ports = reinterpret_cast<const PortRecord*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        const char* name = ports[i].name ? ports[i].name : "";
        SendMessageA(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(name));
        if (std::strcmp(name, "LPT1:") == 0) {
            SendMessageA(list, LB_SETCURSEL, i, 0);
        }
    }
}

CDlgStep1::CDlgStep1() : CDialog(IDD_STEP_MODEL) {}

void CDlgStep1::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_LBString(dx, IDC_CHOICE_LIST, m_strModel);
}

BOOL CDlgStep1::OnInitDialog() {
    CDialog::OnInitDialog();
    FillModelList(GetDlgItem(IDC_CHOICE_LIST), ConfigText(IDS_MODEL_LIST));
    return TRUE;
}

CDlgStep2::CDlgStep2() : CDialog(IDD_STEP_PORT) {}

void CDlgStep2::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_LBString(dx, IDC_CHOICE_LIST, m_strPort);
}

BOOL CDlgStep2::OnInitDialog() {
    CDialog::OnInitDialog();
    FillPortList(GetDlgItem(IDC_CHOICE_LIST), m_hWnd);
    return TRUE;
}

CDlgStep3::CDlgStep3() : CDialog(IDD_STEP_CONFIRM) {}

void CDlgStep3::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_CONFIRM_MODEL, m_staticModel);
    DDX_Control(dx, IDC_CONFIRM_PORT, m_staticPort);
}
