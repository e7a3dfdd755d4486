// The progress box with the real install sequence behind it: what the box shows, the result
// message, the refused user close; and one whole wizard run into Wine's real spooler.
#include "wizard/progress_box.h"

#include <commctrl.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>

#include "engine/state.h"
#include "framework/app.h"
#include "res/wizard_ids.h"
#include "tests/support/fake_services.h"
#include "tests/support/paths.h"
#include "wizard/install_dlg.h"

namespace {

using Texts = std::vector<std::string>;

// What the box went through, in order: bar moves and field texts as handled by the box's thread
// (the field read back after the fact, as the control holds it), closes and the result messages.
Texts g_log;
// The bar's range after each range request it handled, as "low-high".
Texts g_ranges;
HWND g_box = nullptr;
HHOOK g_hook = nullptr;
std::function<void(HWND box, int percent)> g_afterBarMove;

LRESULT CALLBACK AfterHandled(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == PBM_SETPOS && m->hwnd == g_hProgressBar) {
        g_box = GetParent(m->hwnd);
        g_log.push_back("bar " + std::to_string(m->wParam));
        if (g_afterBarMove) {
            g_afterBarMove(g_box, static_cast<int>(m->wParam));
        }
    } else if (code == HC_ACTION && m->hwnd == g_hProgressBar &&
               (m->message == PBM_SETRANGE || m->message == PBM_SETRANGE32)) {
        PBRANGE range{};
        SendMessageA(m->hwnd, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        g_ranges.push_back(std::to_string(range.iLow) + "-" + std::to_string(range.iHigh));
    } else if (code == HC_ACTION && m->message == WM_SETTEXT && GetParent(m->hwnd) == g_box &&
               GetDlgCtrlID(m->hwnd) == IDC_PERCENT_TEXT) {
        char text[32] = "";
        GetWindowTextA(m->hwnd, text, sizeof(text));
        g_log.push_back(std::string("field ") + text);
    } else if (code == HC_ACTION && m->message == WM_CLOSE && m->hwnd == g_box) {
        g_log.push_back("close");
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    ADD_FAILURE() << "progress box still open";
    EndDialog(g_hProcessBox, 0);
}

class LoggingServices : public FakeServices {
public:
    int messageBox(HWND owner, const char* text, const char* caption, UINT type) override {
        g_log.push_back(std::string("message ") + text);
        return FakeServices::messageBox(owner, text, caption, type);
    }
};

// The box over a temporary copy of the medium, staging into a temporary driver directory, with
// the rest of the spooler faked.
class ProgressBox : public ::testing::Test {
protected:
    void SetUp() override {
        CopyTree(SampleMediumDir(), m_medium.path());
        m_services.fakeSpooler = true;
        m_services.driverDirectory = m_target.path();
        g_strPrinterModel = "Orlent 7140";
        g_strPrinterPort = "LPT1:";
        g_nProgressPercent = 0; // as in a fresh program run
        g_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterHandled, nullptr, GetCurrentThreadId());
    }
    void TearDown() override {
        UnhookWindowsHookEx(g_hook);
        g_afterBarMove = nullptr;
    }
    void Run() {
        g_log.clear();
        g_ranges.clear();
        g_box = nullptr;
        UINT_PTR timer = SetTimer(nullptr, 0, 60000, Watchdog);
        RunProcessBox();
        KillTimer(nullptr, timer);
        EXPECT_FALSE(IsWindow(g_box));
    }

    LoggingServices m_services;
    ScopedServices m_scope{m_services};
    TempFolder m_medium, m_target;
    CurrentDirectory m_cwd{m_medium.path()};
};

const Texts kWholeRun = {"bar 0",  "field 0%",  "bar 10", "field 10%", "bar 20",  "field 20%",
                         "bar 60", "field 60%", "bar 80", "field 80%", "bar 100", "field 100%"};

} // namespace

TEST_F(ProgressBox, ShowsEveryReportAndClosesAfterTheOutcomeInAMessageItOwns) {
    Run();
    Texts expected = kWholeRun;
    expected.insert(expected.end(), {"message Orlent 7140 Setup Complete!", "close"});
    EXPECT_EQ(g_log, expected);
    EXPECT_EQ(g_ranges, Texts{"0-100"}) << "set once, to 0..100";
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_EQ(m_services.messages[0].owner, g_box);
    EXPECT_EQ(m_services.messages[0].caption, "INFO");
    EXPECT_EQ(m_services.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(g_nProgressPercent, 100);
    EXPECT_EQ(m_services.printers.at(0).portName, "LPT1:");

    // The next box of this program run opens at 100%; a failure keeps the last report.
    m_services.refuse("getPrinterDriverDirectory", ERROR_INVALID_ENVIRONMENT);
    m_services.messages.clear();
    Run();
    EXPECT_EQ(g_log, (Texts{"bar 0", "field 100%", "bar 10", "field 10%",
                            "message Can't find the current Path!", "bar 20", "field 20%",
                            "message Copy printer driver files To system Fail!",
                            "message Orlent 7140 Setup Fail!", "close"}));
    EXPECT_EQ(m_services.messages.back().owner, g_box);
    EXPECT_EQ(m_services.messages.back().caption, "INFO");
    EXPECT_EQ(m_services.messages.back().type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(g_nProgressPercent, 100);
}

// A box that cannot be made (here: a module without its template) starts no worker; the user
// hears so over the launcher instead of returning to it as if nothing had been asked.
TEST_F(ProgressBox, ABoxThatCannotBeMadeIsReportedOverTheLauncher) {
    CWinApp app;
    app.m_hInstance = GetModuleHandleA("kernel32.dll");
    CWnd launcher;
    launcher.m_hWnd = CreateWindowExA(0, "STATIC", "launcher", WS_POPUP, 0, 0, 100, 100, nullptr,
                                      nullptr, nullptr, nullptr);
    app.m_pMainWnd = &launcher;
    Run();
    app.m_pMainWnd = nullptr;
    EXPECT_EQ(g_log, Texts{"message The setup progress window cannot be opened. Nothing was "
                           "installed."});
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_EQ(m_services.messages[0].owner, launcher.m_hWnd);
    EXPECT_EQ(m_services.messages[0].caption, "INFO");
    EXPECT_EQ(m_services.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(m_services.printers.empty());
    DestroyWindow(launcher.m_hWnd);
    launcher.m_hWnd = nullptr;
}

TEST_F(ProgressBox, RefusesTheUsersCloseAndEscapeWhileTheWorkerRuns) {
    int closedAt = 0;
    g_afterBarMove = [&closedAt](HWND box, int percent) {
        // The dialog manager shows the box once its queue runs empty, maybe only after the first
        // reports. The worker waits for this report meanwhile, so it is still under way.
        if (!closedAt && percent > 0 && IsWindowVisible(box)) {
            closedAt = percent;
            SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            SendMessageA(box, WM_COMMAND, IDCANCEL, 0);
            EXPECT_TRUE(IsWindowVisible(box)) << "closed at " << percent << "%";
        }
    };
    Run();
    ASSERT_NE(closedAt, 0);
    Texts expected = kWholeRun;
    expected.insert(std::find(expected.begin(), expected.end(), "bar " + std::to_string(closedAt)) +
                        1,
                    "close");
    expected.insert(expected.end(), {"message Orlent 7140 Setup Complete!", "close"});
    EXPECT_EQ(g_log, expected);
}

namespace {

// The spooler's record of a printer (name, driver, port), empty when it has none; deleted after
// reading when asked to.
Texts StoredPrinter(const char* name, bool remove = false) {
    Texts record;
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(const_cast<char*>(name), &printer, &access)) {
        DWORD needed = 0;
        GetPrinterA(printer, 2, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed + 1);
        if (GetPrinterA(printer, 2, buffer.data(), needed, &needed)) {
            auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
            for (const char* field : {info->pPrinterName, info->pDriverName, info->pPortName}) {
                record.push_back(field ? field : "");
            }
        }
        if (remove) {
            DeletePrinter(printer);
        }
        ClosePrinter(printer);
    }
    return record;
}

// Earlier test programs in this prefix install the same printer; later ones expect it gone.
void RemoveInstallation() {
    StoredPrinter("Orlent 7140", true);
    StoredPrinter("Orlent 7140 (Copy 1)", true);
    DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>("Orlent 7140"));
}

bool DriverExists(const std::string& name) {
    DWORD needed = 0, count = 0;
    EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count);
    auto* info = reinterpret_cast<DRIVER_INFO_1A*>(buffer.data());
    return std::any_of(info, info + count, [&name](const auto& d) { return d.pName == name; });
}

CDlgInstall* g_wizard = nullptr;

void CALLBACK ConfirmEverything(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_wizard && g_wizard->IsWindowVisible()) {
        KillTimer(nullptr, timer);
        for (int i = 0; i < 4; ++i) {
            SendMessageA(g_wizard->m_btnNext.m_hWnd, BM_CLICK, 0, 0);
        }
        PostMessageA(g_wizard->m_btnNext.m_hWnd, BM_CLICK, 0, 0);
    }
}

} // namespace

TEST(WholeRun, TheConfirmedWizardInstallsIntoWinesSpoolerFromTheMedium) {
    RemoveInstallation();
    TempFolder medium;
    CopyTree(SampleMediumDir(), medium.path());
    CurrentDirectory cwd(medium.path());
    FakeServices services; // everything reaches the platform; the result message is recorded
    ScopedServices scope(services);
    CDlgInstall wizard;
    g_wizard = &wizard;
    UINT_PTR driver = SetTimer(nullptr, 0, 50, ConfirmEverything);
    UINT_PTR watchdog = SetTimer(nullptr, 0, 60000, Watchdog);
    EXPECT_EQ(wizard.DoModal(), IDOK);
    KillTimer(nullptr, driver);
    KillTimer(nullptr, watchdog);
    g_wizard = nullptr;

    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Orlent 7140 Setup Complete!");
    EXPECT_EQ(StoredPrinter("Orlent 7140"), (Texts{"Orlent 7140", "Orlent 7140", "LPT1:"}));
    EXPECT_TRUE(StoredPrinter("Orlent 7140 (Copy 1)").empty());
    EXPECT_TRUE(DriverExists("Orlent 7140"));
    char name[256] = "";
    DWORD size = sizeof(name);
    EXPECT_TRUE(GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(name, "Orlent 7140");
    RemoveInstallation();
}

namespace {

// A refusal no spooler gives: an exception out of the install sequence, as running out of memory
// on the worker would throw.
class ThrowingServices : public FakeServices {
public:
    BOOL getPrinterDriverDirectory(const char*, BYTE*, DWORD, DWORD*) override {
        throw std::bad_alloc();
    }
};

} // namespace

TEST(WorkerFault, AnExceptionOnTheWorkerEndsAsAFailedInstallationWithTheLauncherFree) {
    TempFolder medium;
    CopyTree(SampleMediumDir(), medium.path());
    CurrentDirectory cwd(medium.path());
    ThrowingServices services;
    services.fakeSpooler = true;
    ScopedServices scope(services);
    // The launcher as the wizard's owner, which the wizard disables while it runs.
    CWinApp app;
    CWnd launcher;
    launcher.m_hWnd = CreateWindowExA(0, "STATIC", "launcher", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                      100, nullptr, nullptr, nullptr, nullptr);
    app.m_pMainWnd = &launcher;
    CDlgInstall wizard;
    g_wizard = &wizard;
    UINT_PTR driver = SetTimer(nullptr, 0, 50, ConfirmEverything);
    UINT_PTR watchdog = SetTimer(nullptr, 0, 60000, Watchdog);
    wizard.DoModal();
    KillTimer(nullptr, driver);
    KillTimer(nullptr, watchdog);
    g_wizard = nullptr;
    app.m_pMainWnd = nullptr;

    ASSERT_FALSE(services.messages.empty());
    EXPECT_EQ(services.messages.back().text, "Orlent 7140 Setup Fail!");
    EXPECT_EQ(services.messages.back().type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(IsWindowEnabled(launcher.m_hWnd));
    DestroyWindow(launcher.m_hWnd);
    launcher.m_hWnd = nullptr;
}
