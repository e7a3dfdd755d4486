// The launcher run modally as the program runs it, driven from inside its own modal loop by a
// thread timer: focus at start-up, the Enter rules, Escape and the exit button, the about box,
// texts and fonts from the configuration strings.
#include "app/about_dlg.h"
#include "app/installer_app.h"
#include "app/setup_dlg.h"
#include "controls/shell_open.h"
#include "engine/config.h"
#include "res/launcher_ids.h"
#include "res/strings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct ShellCall {
    HWND owner;
    std::string operation, file, parameters;
    INT show;
};
std::vector<ShellCall> g_calls;

HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR,
                             INT show) {
    g_calls.push_back(
        {owner, operation ? operation : "", file ? file : "", parameters ? parameters : "", show});
    return reinterpret_cast<HINSTANCE>(42);
}

std::string Config(UINT id) {
    std::string text;
    LoadConfigString(id, text);
    return text;
}

std::string Text(HWND window) {
    char buffer[512] = "";
    GetWindowTextA(window, buffer, sizeof(buffer));
    return buffer;
}

// Runs a launcher modally; each step runs on its own timer tick inside whichever modal loop is
// running then, so messages posted by one step are handled before the next.
class LauncherRun : public ::testing::Test {
protected:
    using Step = std::function<void(HWND launcher)>;

    void SetUp() override {
        g_calls.clear();
        m_savedShell = g_pfnShellExecute;
        g_pfnShellExecute = RecordShell;
        s_current = this;
    }
    void TearDown() override {
        g_pfnShellExecute = m_savedShell;
        s_current = nullptr;
    }

    INT_PTR Run(std::vector<Step> steps) {
        m_steps = std::move(steps);
        m_next = 0;
        m_app.m_pMainWnd = &m_launcher;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
        m_deadline = 0;
        INT_PTR result = m_launcher.DoModal();
        KillTimer(nullptr, timer);
        m_app.m_pMainWnd = nullptr;
        EXPECT_EQ(m_next, m_steps.size()) << "the run ended before all steps ran";
        return result;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        LauncherRun* self = s_current;
        if (!self || self->m_busy) {
            return;
        }
        // A safety net for a run that the steps fail to end. It counts from the launcher's
        // creation: a process's first window waits for Wine to start its desktop process, up to
        // ten seconds on a loaded machine.
        if (!self->m_deadline && self->m_launcher.m_hWnd) {
            self->m_deadline = GetTickCount() + 60000;
        }
        if (self->m_deadline && GetTickCount() > self->m_deadline) {
            if (!self->m_timedOut) {
                ADD_FAILURE() << "launcher still running";
                self->m_timedOut = true;
            }
            // A nested box left open would keep the launcher's run from ever ending.
            EnumThreadWindows(GetCurrentThreadId(), CancelNested,
                              reinterpret_cast<LPARAM>(self->m_launcher.m_hWnd));
            self->m_launcher.EndDialog(-2);
            return;
        }
        // Steps act on the launcher as a user sees it: not before it shows.
        HWND launcher = self->m_launcher.m_hWnd;
        if (self->m_next < self->m_steps.size() && launcher && IsWindowVisible(launcher)) {
            self->m_busy = true;
            Step step = self->m_steps[self->m_next++];
            step(self->m_launcher.m_hWnd);
            if (self->m_retry) {
                --self->m_next;
                self->m_retry = false;
            }
            self->m_busy = false;
        }
    }

    // Called by a step whose window has not shown yet (Wine shows a modal dialog only once its
    // queue has run empty): the step runs again on the next tick.
    static void RetryStep() { s_current->m_retry = true; }

    static BOOL CALLBACK CancelNested(HWND w, LPARAM launcher) {
        if (w != reinterpret_cast<HWND>(launcher) && IsWindowVisible(w)) {
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        }
        return TRUE;
    }

    static void PressKey(HWND window, WPARAM key) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }

    // The visible about box owned by the launcher, or null.
    struct AboutSearch {
        HWND owner, found;
    };
    static BOOL CALLBACK MatchAbout(HWND w, LPARAM data) {
        auto* s = reinterpret_cast<AboutSearch*>(data);
        if (w != s->owner && GetWindow(w, GW_OWNER) == s->owner && IsWindowVisible(w) &&
            GetDlgItem(w, IDOK)) {
            s->found = w;
            return FALSE;
        }
        return TRUE;
    }
    static HWND AboutBox(HWND launcher) {
        AboutSearch search{launcher, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), MatchAbout, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    CWinApp m_app;
    CSetupDlg m_launcher;

private:
    static LauncherRun* s_current;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_busy = false;
    bool m_retry = false;
    bool m_timedOut = false;
    DWORD m_deadline = 0;
    ShellExecuteFn m_savedShell = nullptr;
};
LauncherRun* LauncherRun::s_current = nullptr;

} // namespace

TEST_F(LauncherRun, StartsWithTheNotesButtonFocusedAndEnterOpensTheNotesOnce) {
    INT_PTR result = Run({
        [](HWND launcher) {
            EXPECT_EQ(GetFocus(), GetDlgItem(launcher, IDC_BTN_NOTES));
            PressKey(GetFocus(), VK_RETURN);
        },
        [](HWND launcher) {
            ASSERT_EQ(g_calls.size(), 1u);
            EXPECT_EQ(g_calls[0].owner, launcher);
            EXPECT_EQ(g_calls[0].operation, "open");
            // The system's own editor, never one found beside the program.
            char system[MAX_PATH] = "";
            GetSystemDirectoryA(system, sizeof(system));
            EXPECT_EQ(g_calls[0].file, std::string(system) + "\\notepad.exe");
            EXPECT_EQ(g_calls[0].parameters, Config(IDS_README_FILE));
            EXPECT_EQ(g_calls[0].show, SW_SHOW);
            EXPECT_TRUE(IsWindowVisible(launcher));
            // A click reaches the same action.
            PostMessageA(GetDlgItem(launcher, IDC_BTN_NOTES), BM_CLICK, 0, 0);
        },
        [](HWND launcher) {
            EXPECT_EQ(g_calls.size(), 2u);
            // Enter on anything but a launcher button does nothing at all.
            PressKey(launcher, VK_RETURN);
            PressKey(GetDlgItem(launcher, IDC_VERSION_TEXT), VK_RETURN);
            PressKey(GetDlgItem(launcher, IDC_WEB_LINK), VK_RETURN);
        },
        [](HWND launcher) {
            EXPECT_EQ(g_calls.size(), 2u);
            EXPECT_TRUE(IsWindowVisible(launcher)) << "Enter must not press a default button";
            PressKey(GetDlgItem(launcher, IDC_BTN_NOTES), VK_ESCAPE);
        },
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(LauncherRun, EnterOnTheExitButtonAndTheExitButtonEndTheRunWithCancel) {
    EXPECT_EQ(Run({[](HWND launcher) { PressKey(GetDlgItem(launcher, IDC_BTN_EXIT), VK_RETURN); }}),
              IDCANCEL);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(Run({[](HWND launcher) {
                  PostMessageA(GetDlgItem(launcher, IDC_BTN_EXIT), BM_CLICK, 0, 0);
              }}),
              IDCANCEL);
}

namespace {

// Presses Enter on the focused button of the message box over the launcher, a few times at most;
// then, if it is still open, cancels it so that the run goes on.
int g_enterPresses = 0;
void CALLBACK PressEnterInTheBox(HWND, UINT, UINT_PTR, DWORD) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetCurrentThreadId(), &gui);
    HWND box = gui.hwndActive;
    if (!box || !IsWindowVisible(box) || !GetDlgItem(box, IDOK) || GetDlgItem(box, IDC_BTN_NOTES)) {
        return;
    }
    if (++g_enterPresses <= 3) {
        HWND target = gui.hwndFocus ? gui.hwndFocus : GetDlgItem(box, IDOK);
        PostMessageA(target, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(target, WM_KEYUP, VK_RETURN, 0xC0000001);
    } else {
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }
}

} // namespace

// A message box shown over the launcher (the framework's error box, or the shell's when the editor
// is missing) keeps its own keys: Enter presses its button.
TEST_F(LauncherRun, EnterClosesAMessageBoxShownOverTheLauncher) {
    g_enterPresses = 0;
    INT_PTR result = Run({[](HWND launcher) {
        UINT_PTR timer = SetTimer(nullptr, 0, 200, PressEnterInTheBox);
        EXPECT_EQ(MessageBoxA(launcher, "Enter closes me", "INFO", MB_OK | MB_ICONINFORMATION),
                  IDOK);
        KillTimer(nullptr, timer);
        EXPECT_GE(g_enterPresses, 1);
        EXPECT_LE(g_enterPresses, 3) << "Enter did not reach the message box";
        EXPECT_TRUE(g_calls.empty()) << "Enter went to the launcher's notes button";
        PressKey(GetDlgItem(launcher, IDC_BTN_EXIT), VK_RETURN);
    }});
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(LauncherRun, TextsAndFontsComeFromTheConfiguration) {
    Run({[this](HWND launcher) {
        EXPECT_EQ(m_launcher.m_btnNotes.m_strCaption, Config(IDS_BTN_README));
        EXPECT_EQ(m_launcher.m_btnDriver.m_strCaption, Config(IDS_BTN_DRIVER));
        EXPECT_EQ(m_launcher.m_btnExit.m_strCaption, Config(IDS_BTN_EXIT));
        EXPECT_EQ(Text(GetDlgItem(launcher, IDC_TITLE_TEXT)), Config(IDS_LAUNCHER_TITLE));
        EXPECT_EQ(Text(GetDlgItem(launcher, IDC_VERSION_TEXT)), Config(IDS_LAUNCHER_VERSION));

        // The hidden web link carries the maker's address as text and target.
        HWND link = GetDlgItem(launcher, IDC_WEB_LINK);
        EXPECT_FALSE(IsWindowVisible(link));
        EXPECT_EQ(Text(link), Config(IDS_MAKER_URL));
        EXPECT_EQ(m_launcher.m_linkWeb.m_strUrl, Config(IDS_MAKER_URL));

        // Buttons are owner-drawn, in the 12-point font; the title in the 18-point one.
        for (int id : {IDC_BTN_NOTES, IDC_BTN_DRIVER, IDC_BTN_EXIT}) {
            HWND button = GetDlgItem(launcher, id);
            EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)),
                      m_launcher.m_fontText.Handle());
        }
        EXPECT_EQ(reinterpret_cast<HFONT>(
                      SendMessageA(GetDlgItem(launcher, IDC_TITLE_TEXT), WM_GETFONT, 0, 0)),
                  m_launcher.m_fontTitle.Handle());
        LOGFONTA text{}, title{};
        GetObjectA(m_launcher.m_fontText.Handle(), sizeof(text), &text);
        GetObjectA(m_launcher.m_fontTitle.Handle(), sizeof(title), &title);
        EXPECT_EQ(text.lfWeight, FW_BOLD);
        EXPECT_STREQ(text.lfFaceName, Config(IDS_FONT_FACE).c_str());
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(-text.lfHeight, MulDiv(12, dpi, 72));
        EXPECT_EQ(-title.lfHeight, MulDiv(18, dpi, 72));

        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(launcher, WM_QUERYDRAGICON, 0, 0)),
                  m_launcher.m_appIcon);
        EXPECT_NE(m_launcher.m_appIcon, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(launcher, WM_GETICON, ICON_BIG, 0)),
                  m_launcher.m_appIcon);
        // Captionless popup without a system menu, with a taskbar button.
        LONG style = GetWindowLongA(launcher, GWL_STYLE);
        EXPECT_FALSE(style & WS_CAPTION);
        EXPECT_FALSE(style & WS_SYSMENU);
        EXPECT_TRUE(GetWindowLongA(launcher, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        m_launcher.EndDialog(IDCANCEL);
    }});
}

namespace {

// Both templates place their dialogs at 0,0: the launcher comes up centred on the work area, the
// about box over wherever the launcher is.
void ExpectCentredOn(HWND window, const RECT& area) {
    RECT box;
    GetWindowRect(window, &box);
    EXPECT_NEAR(box.left + box.right, area.left + area.right, 1);
    EXPECT_NEAR(box.top + box.bottom, area.top + area.bottom, 1);
}
RECT WindowRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

} // namespace

TEST_F(LauncherRun, TheAboutCommandOpensTheAboutBoxOwnedByTheLauncherAndCentredOverIt) {
    HWND about = nullptr;
    INT_PTR result = Run({
        [](HWND launcher) {
            RECT work;
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            ExpectCentredOn(launcher, work);
            PostMessageA(launcher, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0);
        },
        [&about](HWND launcher) {
            about = AboutBox(launcher);
            if (!about) {
                return RetryStep();
            }
            EXPECT_FALSE(IsWindowEnabled(launcher)) << "the launcher is disabled meanwhile";
            ExpectCentredOn(about, WindowRect(launcher));
            PressKey(GetDlgItem(about, IDOK), VK_ESCAPE);
        },
        [&about](HWND launcher) {
            EXPECT_FALSE(IsWindow(about));
            EXPECT_TRUE(IsWindowEnabled(launcher));
            EXPECT_TRUE(IsWindowVisible(launcher));
            SetWindowPos(launcher, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            PostMessageA(launcher, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        },
        [&about](HWND launcher) {
            about = AboutBox(launcher);
            if (!about) {
                return RetryStep();
            }
            ExpectCentredOn(about, WindowRect(launcher));
            PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        },
        [this, &about](HWND launcher) {
            EXPECT_FALSE(IsWindow(about));
            EXPECT_TRUE(IsWindowEnabled(launcher));
            m_launcher.EndDialog(IDCANCEL);
        },
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(LauncherFonts, FaceNamesThatDoNotFitAreLeftToThePlatform) {
    LOGFONTA f = LauncherFontRecord("Times New Roman", 120);
    EXPECT_EQ(f.lfHeight, 120);
    EXPECT_EQ(f.lfWeight, FW_BOLD);
    EXPECT_STREQ(f.lfFaceName, "Times New Roman");
    std::string longest(LF_FACESIZE - 1, 'a');
    EXPECT_EQ(std::string(LauncherFontRecord(longest, 180).lfFaceName), longest);
    EXPECT_STREQ(LauncherFontRecord(std::string(LF_FACESIZE, 'a'), 180).lfFaceName, "");
    EXPECT_STREQ(LauncherFontRecord("", 180).lfFaceName, "");
}

CWnd* g_seenMain = nullptr;

void CALLBACK EndTheLauncher(HWND, UINT, UINT_PTR, DWORD) {
    CWnd* main = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
    if (main && main->m_hWnd && !g_seenMain) {
        g_seenMain = main;
        PostMessageA(GetDlgItem(main->m_hWnd, IDC_BTN_EXIT), WM_KEYDOWN, VK_ESCAPE, 1);
    }
}

TEST(InstallerApp, RunsTheLauncherAsMainWindowAndEndsWithoutAMessageLoop) {
    CInstallerApp app;
    g_seenMain = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, EndTheLauncher);
    // The exit code of the process.
    EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr)), 0);
    KillTimer(nullptr, timer);
    EXPECT_NE(g_seenMain, nullptr) << "no launcher registered as the main window";
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    // The key is 8-bit text in the Chinese code page, whatever the system's own code page is.
    ASSERT_NE(app.m_pszRegistryKey, nullptr);
    wchar_t key[64] = L"";
    MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, app.m_pszRegistryKey, -1, key, 64);
    EXPECT_STREQ(key, L"应用程序向导生成的本地应用程序");
    EXPECT_TRUE(app.m_bControlContainer);
}
