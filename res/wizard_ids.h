#pragma once
// Resources of the installation wizard and the progress box.

#define IDD_INSTALL 129
#define IDD_STEP_WELCOME 130
#define IDD_STEP_AGREEMENT 131
#define IDD_STEP_MODEL 132
#define IDD_STEP_PORT 133
#define IDD_STEP_CONFIRM 134
#define IDI_LICENCE 151
#define IDD_PROCESS_BOX "ProcessBox"

// Wizard frame (template 129).
#define IDC_BTN_BACK 1000
#define IDC_BTN_NEXT 1002
#define IDC_PAGE_AREA 1004

// Pages (templates 130 to 134).
#define IDC_PAGE_TEXT 1004
#define IDC_PAGE_HEADING 1011
#define IDC_PAGE_NOTE 1012
#define IDC_CONFIRM_MODEL_LABEL 1013
#define IDC_CONFIRM_PORT_LABEL 1014
#define IDC_CHOICE_LIST 1007
#define IDC_AGREEMENT_TEXT 1026
#define IDC_CONFIRM_MODEL 1027
#define IDC_CONFIRM_PORT 1028
#define IDC_WELCOME_TEXT 1035

// Progress box.
#define IDC_PERCENT_TEXT 1006
#define IDC_PROGRESS_BAR 1010
