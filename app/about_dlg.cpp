#include "app/about_dlg.h"

#include "res/launcher_ids.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;
