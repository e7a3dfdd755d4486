#include "app/setup_dlg.h"

#include <cstring>

#include "app/about_dlg.h"
#include "app/driver_wizard.h"
#include "app/running_copy.h"
#include "controls/shell_open.h"
#include "engine/config.h"
#include "framework/app.h"
#include "res/launcher_ids.h"
#include "res/strings.h"

const char kAboutMenuText[] = "&About Setup...";

LOGFONTA LauncherFontRecord(const std::string& face, LONG tenthsOfPoint) {
    LOGFONTA font{};
    font.lfHeight = tenthsOfPoint;
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    if (face.size() < LF_FACESIZE) {
        std::memcpy(font.lfFaceName, face.c_str(), face.size() + 1);
    }
    return font;
}

MESSAGE_MAP(CSetupDlg, CDialog, OnMessage(WM_SYSCOMMAND, &CSetupDlg::OnSysCommand),
            OnMessage(WM_PAINT, &CSetupDlg::OnPaint),
            OnMessage(WM_QUERYDRAGICON, &CSetupDlg::OnQueryDragIcon),
            OnMessage(WM_DESTROY, &CSetupDlg::OnDestroy),
            OnCommand(IDC_BTN_EXIT, BN_CLICKED, &CSetupDlg::OnExit),
            OnCommand(IDC_BTN_DRIVER, BN_CLICKED, &CSetupDlg::OnDriver),
            OnCommand(IDC_BTN_NOTES, BN_CLICKED, &CSetupDlg::OnNotes))

CSetupDlg::CSetupDlg()
    : CDialog(IDD_LAUNCHER),
      m_appIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_APP))) {
    std::string face;
    LoadConfigString(IDS_FONT_FACE, face);
    LOGFONTA record = LauncherFontRecord(face, 120);
    m_fontText.CreatePointFontIndirect(&record);
    record.lfHeight = 180;
    m_fontTitle.CreatePointFontIndirect(&record);
}

CSetupDlg::~CSetupDlg() = default;

void CSetupDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BTN_DRIVER, m_btnDriver);
    DDX_Control(dx, IDC_BTN_NOTES, m_btnNotes);
    DDX_Control(dx, IDC_BTN_EXIT, m_btnExit);
}

BOOL CSetupDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        if (kAboutMenuText[0] != '\0') {
            ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, kAboutMenuText);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_appIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_appIcon));

    // The label takes the text it finds as its link target, so the text goes in first.
    std::string url;
    LoadConfigString(IDS_MAKER_URL, url);
    ::SetDlgItemTextA(m_hWnd, IDC_WEB_LINK, url.c_str());
    m_linkWeb.SubclassDlgItem(IDC_WEB_LINK, this);

    const WPARAM textFont = reinterpret_cast<WPARAM>(m_fontText.Handle());
    LoadConfigString(IDS_BTN_README, m_btnNotes.m_strCaption);
    ::SendMessageA(GetDlgItem(IDC_BTN_NOTES), WM_SETFONT, textFont, TRUE);
    LoadConfigString(IDS_BTN_DRIVER, m_btnDriver.m_strCaption);
    ::SendMessageA(GetDlgItem(IDC_BTN_DRIVER), WM_SETFONT, textFont, TRUE);
    LoadConfigString(IDS_BTN_EXIT, m_btnExit.m_strCaption);
    ::SendMessageA(GetDlgItem(IDC_BTN_EXIT), WM_SETFONT, textFont, TRUE);

    std::string title;
    LoadConfigString(IDS_LAUNCHER_TITLE, title);
    ::SetDlgItemTextA(m_hWnd, IDC_TITLE_TEXT, title.c_str());
    ::SendMessageA(GetDlgItem(IDC_TITLE_TEXT), WM_SETFONT,
                   reinterpret_cast<WPARAM>(m_fontTitle.Handle()), TRUE);
    std::string version;
    LoadConfigString(IDS_LAUNCHER_VERSION, version);
    ::SetDlgItemTextA(m_hWnd, IDC_VERSION_TEXT, version.c_str());
    ::SendMessageA(GetDlgItem(IDC_VERSION_TEXT), WM_SETFONT, textFont, TRUE);

    // A second copy started meanwhile finds this window by its mark and hands over to it.
    MarkAsTheLauncher(m_hWnd);

    // The dialog manager focuses the first visible tab stop: the notes button (the link is hidden).
    return TRUE;
}

BOOL CSetupDlg::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
        // Enter acts on the focused launcher button only, and never reaches the dialog manager,
        // which would press a default button.
        if (message->hwnd == GetDlgItem(IDC_BTN_NOTES)) {
            OnNotes(0, 0);
        } else if (message->hwnd == GetDlgItem(IDC_BTN_DRIVER)) {
            OnDriver(0, 0);
        } else if (message->hwnd == GetDlgItem(IDC_BTN_EXIT)) {
            OnExit(0, 0);
        }
        return TRUE;
    }
    return CDialog::PreTranslateMessage(message);
}

LRESULT CSetupDlg::OnSysCommand(WPARAM wParam, LPARAM) {
    if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return 0;
    }
    SetHandled(false);
    return 0;
}

LRESULT CSetupDlg::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(m_hWnd)) {
        SetHandled(false);
        return 0;
    }
    CPaintDC paint(m_hWnd);
    HDC dc = paint.Handle();
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    const int cxIcon = ::GetSystemMetrics(SM_CXICON), cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - cxIcon + 1) / 2;
    const int y = (client.bottom - client.top - cyIcon + 1) / 2;
    ::DrawIcon(dc, x, y, m_appIcon);
    return 0;
}

LRESULT CSetupDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_appIcon);
}

LRESULT CSetupDlg::OnDestroy(WPARAM, LPARAM) {
    UnmarkTheLauncher(m_hWnd);
    SetHandled(false);
    return 0;
}

LRESULT CSetupDlg::OnExit(WPARAM, LPARAM) {
    OnCancel();
    return 0;
}

LRESULT CSetupDlg::OnDriver(WPARAM, LPARAM) {
    RunDriverWizard();
    return 0;
}

bool SystemEditorPath(std::string& path) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    const bool nineX =
        ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    char folder[MAX_PATH];
    const UINT length = nineX ? ::GetWindowsDirectoryA(folder, sizeof(folder))
                              : ::GetSystemDirectoryA(folder, sizeof(folder));
    // A folder that does not fit comes back as the size it needs, with nothing usable in the
    // buffer.
    if (length == 0 || length >= sizeof(folder)) {
        return false;
    }
    path.assign(folder, length);
    path += "\\notepad.exe";
    return true;
}

LRESULT CSetupDlg::OnNotes(WPARAM, LPARAM) {
    std::string notes;
    LoadConfigString(IDS_README_FILE, notes);
    // By bare name the shell would look in the current directory (the medium) and the program's
    // folder first, and run whatever notepad.com or notepad.exe lies there as administrator.
    std::string editor;
    if (SystemEditorPath(editor)) {
        g_pfnShellExecute(m_hWnd, "open", editor.c_str(), notes.c_str(), nullptr, SW_SHOW);
    }
    return 0;
}
