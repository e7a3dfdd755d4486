#pragma once
// The about box: shows its template and closes with OK or Escape.
#include "framework/dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;
};
