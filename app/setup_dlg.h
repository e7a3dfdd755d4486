#pragma once
// The launcher: three flat buttons (notes, driver, exit), title and version texts, a hidden web
// link, and the about box behind a system-menu entry.
#include <string>

#include "controls/my_button.h"
#include "controls/super_label.h"
#include "framework/dialog.h"
#include "framework/gdi.h"

// Text of the system-menu entry that opens the about box.
extern const char kAboutMenuText[];

// The description of a launcher font: bold, height in tenths of a point, face as given. A face
// name too long for the record names no font the platform could find, so it is left empty and
// the platform picks its default face.
LOGFONTA LauncherFontRecord(const std::string& face, LONG tenthsOfPoint);

// The system's own text editor by its full path: the system folder's notepad.exe on the NT
// family, the Windows folder's on 9x, where it lies there. False when that path cannot be had.
bool SystemEditorPath(std::string& path);

class CSetupDlg : public CDialog {
public:
    CSetupDlg();
    ~CSetupDlg() override;

    CMyButton m_btnDriver;
    CSuperLabel m_linkWeb;
    CMyButton m_btnNotes;
    CMyButton m_btnExit;
    HICON m_appIcon;   // shared resource icon, never destroyed
    CFont m_fontText;  // button captions and version
    CFont m_fontTitle; // title

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnExit(WPARAM wParam, LPARAM lParam);
    LRESULT OnDriver(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotes(WPARAM wParam, LPARAM lParam);
};
