// The wizard run modally and driven from a timer inside its modal loop: pages, captions and layout
// per step, cancelling, the ports of the real spooler or of a faked one, the hand-over of the
// selection; the model list and the licence text on their own.
#include "wizard/install_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

#include "engine/state.h"
#include "res/wizard_ids.h"
#include "tests/support/fake_services.h"
#include "tests/support/paths.h"

namespace {

using Texts = std::vector<std::string>;

// Pass-through services whose spooler can be made to report a given port list.
class PortsFake : public FakeServices {
public:
    std::optional<Texts> ports;

    BOOL enumPorts(DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) override {
        if (!ports) {
            return FakeServices::enumPorts(level, buffer, size, needed, returned);
        }
        calls.push_back("enumPorts");
        size_t total = ports->size() * sizeof(PortRecord);
        for (const auto& p : *ports) {
            total += p.size() + 1;
        }
        *needed = static_cast<DWORD>(total);
        *returned = 0;
        if (size < total) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        char* text = reinterpret_cast<char*>(buffer + ports->size() * sizeof(PortRecord));
        for (const auto& p : *ports) {
            reinterpret_cast<PortRecord*>(buffer)[(*returned)++].name = text;
            text = std::strcpy(text, p.c_str()) + p.size() + 1;
        }
        return TRUE;
    }
};

// Records progress box runs instead of installing, handling waiting messages as the box's own
// modal loop would, so that a click queued behind the confirming one reaches the frame.
class RecordingWizard : public CDlgInstall {
public:
    int boxRuns = 0;
    bool frameVisibleAtBox = true;

protected:
    void RunProgressBox() override {
        ++boxRuns;
        frameVisibleAtBox = IsWindowVisible();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    }
};

std::string Text(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

Texts Items(HWND list) {
    Texts items;
    for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
        char text[256] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int Selected(HWND list) {
    return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
}

HWND List(const CDialog& page) {
    return page.GetDlgItem(IDC_CHOICE_LIST);
}

void Click(const CWnd& button, int times = 1) {
    while (times--) {
        SendMessageA(button.m_hWnd, BM_CLICK, 0, 0);
    }
}

std::vector<CDialog*> Pages(CDlgInstall& w) {
    return {&w.m_dlgWelcome, &w.m_dlgAgreement, &w.m_dlgStep1, &w.m_dlgStep2, &w.m_dlgStep3};
}

void ExpectStep(CDlgInstall& w, int step, const char* next, const char* cancel) {
    SCOPED_TRACE("step " + std::to_string(step));
    EXPECT_EQ(w.m_nStep, step);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(!!Pages(w)[i]->IsWindowVisible(), i + 1 == step) << "page " << i + 1;
    }
    EXPECT_EQ(!!w.m_btnBack.IsWindowEnabled(), step > 1);
    EXPECT_EQ(w.m_btnBack.GetWindowText(), "<Back");
    EXPECT_EQ(w.m_btnNext.GetWindowText(), next);
    EXPECT_EQ(w.m_btnCancel.GetWindowText(), cancel);
}

void ExpectConfirmed(CDlgInstall& w, const char* model, const char* port) {
    EXPECT_EQ(w.m_dlgStep3.m_staticModel.GetWindowText(), model);
    EXPECT_EQ(w.m_dlgStep3.m_staticPort.GetWindowText(), port);
}

class WizardRun : public ::testing::Test {
protected:
    using Step = std::function<void(RecordingWizard& w)>;

    // Runs a fresh wizard and calls step once from inside its modal loop.
    INT_PTR Run(Step step) {
        m_wizard = std::make_unique<RecordingWizard>();
        m_step = std::move(step);
        s_current = this;
        m_deadline = 0;
        UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
        INT_PTR result = m_wizard->DoModal();
        KillTimer(nullptr, timer);
        s_current = nullptr;
        EXPECT_FALSE(m_step) << "the run ended before the step ran";
        return result;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        WizardRun* self = s_current;
        if (!self || !self->m_wizard->m_hWnd) {
            return;
        }
        // The safety net counts from the frame's creation: a process's first window waits for
        // Wine to start its desktop process, up to ten seconds on a loaded machine.
        if (!self->m_deadline) {
            self->m_deadline = GetTickCount() + kSafetyNet;
        }
        if (GetTickCount() > self->m_deadline) {
            ADD_FAILURE() << "wizard still running";
            self->m_wizard->EndDialog(-2);
        } else if (self->m_step && self->m_wizard->IsWindowVisible()) {
            // The dialog manager shows the frame only once its queue runs empty; a tick due
            // earlier would drive a frame nobody can see yet.
            Step step = std::move(self->m_step);
            self->m_step = nullptr;
            step(*self->m_wizard);
        }
    }

    PortsFake m_services;
    ScopedServices m_scope{m_services};
    TempFolder m_folder; // the current directory
    CurrentDirectory m_cwd{m_folder.path()};
    std::unique_ptr<RecordingWizard> m_wizard;

private:
    static inline WizardRun* s_current = nullptr;
    Step m_step;
    DWORD m_deadline = 0;
    static constexpr DWORD kSafetyNet = 60000;
};

} // namespace

TEST_F(WizardRun, StepsThroughThePagesInOneAreaAndRelabelsTheButtons) {
    const std::string licence = "\xEF\xBB\xBFTerms\r\nline feed only\nend";
    WriteFileText(m_folder / "agreement.txt", licence);
    INT_PTR result = Run([&licence](RecordingWizard& w) {
        EXPECT_EQ(w.GetWindowText(), "Orlent Impact Printer Driver Setup Wizard");
        RECT area, page;
        GetWindowRect(w.GetDlgItem(IDC_PAGE_AREA), &area);
        for (CDialog* p : Pages(w)) {
            GetWindowRect(p->m_hWnd, &page);
            EXPECT_TRUE(EqualRect(&area, &page)) << Text(p->GetDlgItem(IDC_PAGE_TEXT));
        }
        EXPECT_EQ(Text(w.m_dlgWelcome.GetDlgItem(IDC_WELCOME_TEXT)),
                  "Welcome to use Orlent Impact Printer Driver setup wizard");
        EXPECT_EQ(Text(w.m_dlgAgreement.GetDlgItem(IDC_AGREEMENT_TEXT)), licence);
        EXPECT_EQ(Items(List(w.m_dlgStep1)), Texts{"Orlent 7140"});
        EXPECT_EQ(Selected(List(w.m_dlgStep1)), 0);
        Texts ports = Items(List(w.m_dlgStep2));
        int selected = Selected(List(w.m_dlgStep2));
        ASSERT_GE(selected, 0) << "Wine's spooler has LPT1:";
        EXPECT_EQ(ports[selected], "LPT1:");

        ExpectStep(w, 1, "Next>", "Cancel");
        w.OnBack();
        ExpectStep(w, 1, "Next>", "Cancel");
        const char* captions[][2] = {{"Next>", "Cancel"},
                                     {"Accept", "Decline"},
                                     {"Next>", "Cancel"},
                                     {"Next>", "Cancel"},
                                     {"Next>", "Cancel"}};
        for (int step = 2; step <= 5; ++step) {
            Click(w.m_btnNext);
            ExpectStep(w, step, captions[step - 1][0], captions[step - 1][1]);
        }
        ExpectConfirmed(w, "Orlent 7140", "LPT1:");
        for (int step = 4; step >= 1; --step) {
            Click(w.m_btnBack);
            ExpectStep(w, step, captions[step - 1][0], captions[step - 1][1]);
        }
        EXPECT_EQ(GetFocus(), w.m_btnNext.m_hWnd) << "not left on the disabled Back button";
        Click(w.m_btnCancel);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_wizard->boxRuns, 0);
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(WizardRun, DeclineEscapeAndTheCloseBoxCancelAndLeaveTheSelectionAlone) {
    g_strPrinterModel = "earlier model";
    g_strPrinterPort = "earlier port";
    EXPECT_EQ(Run([](RecordingWizard& w) {
                  Click(w.m_btnNext);
                  Click(w.m_btnCancel);
              }),
              IDCANCEL);
    EXPECT_EQ(Run([](RecordingWizard& w) {
                  Click(w.m_btnNext);
                  PostMessageA(w.m_btnNext.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
                  PostMessageA(w.m_btnNext.m_hWnd, WM_KEYUP, VK_ESCAPE, 0xC0000001);
              }),
              IDCANCEL);
    EXPECT_EQ(Run([](RecordingWizard& w) {
                  Click(w.m_btnNext, 2);
                  PostMessageA(w.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
              }),
              IDCANCEL);
    EXPECT_EQ(m_wizard->boxRuns, 0);
    EXPECT_EQ(g_strPrinterModel, "earlier model");
    EXPECT_EQ(g_strPrinterPort, "earlier port");
}

TEST_F(WizardRun, ConfirmingHandsOverTheSelectionAndRunsTheBoxOnceDespiteQueuedClicks) {
    INT_PTR result = Run([](RecordingWizard& w) {
        Click(w.m_btnNext, 4);
        // Behind the confirming click: Back, which must not reopen the confirmation for the
        // Nexts after it; the counter stops at 8.
        for (const CButton* button :
             {&w.m_btnNext, &w.m_btnBack, &w.m_btnNext, &w.m_btnNext, &w.m_btnNext, &w.m_btnNext}) {
            PostMessageA(w.m_hWnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button->m_hWnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button->m_hWnd));
        }
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_wizard->boxRuns, 1);
    EXPECT_FALSE(m_wizard->frameVisibleAtBox) << "the frame hides before the box runs";
    EXPECT_EQ(m_wizard->m_nStep, 8);
    EXPECT_EQ(g_strPrinterModel, "Orlent 7140");
    EXPECT_EQ(g_strPrinterPort, "LPT1:");
}

TEST_F(WizardRun, WithoutLpt1NothingIsSelectedAndTheConfirmationIsRefused) {
    m_services.ports = Texts{"LPT2:", "lpt1:", "COM1:", "LPT1"};
    INT_PTR result = Run([this](RecordingWizard& w) {
        EXPECT_EQ(Items(List(w.m_dlgStep2)), *m_services.ports) << "the spooler's order";
        EXPECT_EQ(Selected(List(w.m_dlgStep2)), LB_ERR);
        Click(w.m_btnNext, 4);
        ExpectConfirmed(w, "Orlent 7140", "");
        Click(w.m_btnNext);
        ASSERT_EQ(m_services.messages.size(), 1u);
        EXPECT_EQ(m_services.messages[0].owner, w.m_hWnd);
        EXPECT_EQ(m_services.messages[0].text,
                  "Please select the printer model and port before setup go on!");
        EXPECT_EQ(m_services.messages[0].caption, "INFO");
        EXPECT_EQ(m_services.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
        ExpectStep(w, 5, "Next>", "Cancel");
        EXPECT_TRUE(w.IsWindowVisible());

        Click(w.m_btnBack);
        ExpectStep(w, 4, "Next>", "Cancel");
        EXPECT_EQ(Items(List(w.m_dlgStep2)), *m_services.ports);
        SendMessageA(List(w.m_dlgStep2), LB_SETCURSEL, 1, 0);
        Click(w.m_btnNext);
        ExpectConfirmed(w, "Orlent 7140", "lpt1:");
        Click(w.m_btnNext);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_wizard->boxRuns, 1);
    EXPECT_EQ(g_strPrinterPort, "lpt1:");
    EXPECT_EQ(m_services.count("enumPorts"), 2) << "enumerated once per run";
}

TEST_F(WizardRun, SelectionsSurviveGoingBackAndAChangedModelIsShown) {
    Run([](RecordingWizard& w) {
        auto select = [](HWND list, const char* item) {
            SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(item));
        };
        SendMessageA(List(w.m_dlgStep1), LB_INSERTSTRING, 1,
                     reinterpret_cast<LPARAM>("Orlent 9999"));
        select(List(w.m_dlgStep1), "Orlent 9999");
        select(List(w.m_dlgStep2), "COM2:");
        Click(w.m_btnNext, 4);
        ExpectConfirmed(w, "Orlent 9999", "COM2:");
        Click(w.m_btnBack, 2);
        Click(w.m_btnNext, 2);
        ExpectConfirmed(w, "Orlent 9999", "COM2:");
        Click(w.m_btnBack, 2);
        select(List(w.m_dlgStep1), "Orlent 7140");
        Click(w.m_btnNext, 2);
        ExpectConfirmed(w, "Orlent 7140", "COM2:");
        Click(w.m_btnCancel);
    });
}

TEST_F(WizardRun, PortListFailuresAreToldByThePortPageWhileTheWizardOpens) {
    struct Case {
        const char* refused; // none: a spooler without ports, whose size question succeeds
        const char* message;
        int enumCalls;
    };
    for (const Case& c : {Case{"enumPorts.first", "Can't find the deviceport list!", 1},
                          Case{"", "Can't find the deviceport list!", 1},
                          Case{"enumPorts.second", "EnumPort fail!", 2}}) {
        SCOPED_TRACE(c.refused);
        m_services = PortsFake();
        if (*c.refused) {
            m_services.refuse(c.refused, ERROR_ACCESS_DENIED);
        } else {
            m_services.ports = Texts{};
        }
        Run([this, &c](RecordingWizard& w) {
            ASSERT_EQ(m_services.messages.size(), 1u);
            EXPECT_EQ(m_services.messages[0].owner, w.m_dlgStep2.m_hWnd);
            EXPECT_EQ(m_services.messages[0].text, c.message);
            EXPECT_EQ(m_services.messages[0].caption, "INFO");
            EXPECT_EQ(m_services.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
            EXPECT_EQ(m_services.count("enumPorts"), c.enumCalls);
            EXPECT_TRUE(Items(List(w.m_dlgStep2)).empty());
            Click(w.m_btnCancel);
        });
    }
}

// Run once in each language of the templates (the Chinese one under a Chinese locale, see the
// CMake file): the resource loader picks the pages by the user-interface language, the frame exists
// in Chinese only. Every control the code reaches must be there, of the class the code expects, and
// the captions that come from the string table must replace the template's own.
TEST_F(WizardRun, TheTemplatesOfTheUserInterfaceLanguageHoldEveryControlTheCodeUses) {
    bool chinese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE;
    const char* expected = getenv("TEMPLATE_LANGUAGE");
    ASSERT_EQ(chinese, expected && std::string(expected) == "zh")
        << "user-interface language " << std::hex << GetUserDefaultUILanguage();
    Run([chinese](RecordingWizard& w) {
        auto expectControl = [](const CDialog& dialog, int id, const char* className) {
            HWND control = dialog.GetDlgItem(id);
            ASSERT_NE(control, nullptr) << "no control " << id;
            char name[64] = "";
            GetClassNameA(control, name, sizeof(name));
            EXPECT_STRCASEEQ(name, className) << "control " << id;
        };
        expectControl(w, IDC_BTN_BACK, "Button");
        expectControl(w, IDC_BTN_NEXT, "Button");
        expectControl(w, IDCANCEL, "Button");
        expectControl(w, IDC_PAGE_AREA, "Static");
        expectControl(w.m_dlgWelcome, IDC_WELCOME_TEXT, "Static");
        expectControl(w.m_dlgAgreement, IDC_AGREEMENT_TEXT, "Edit");
        expectControl(w.m_dlgStep1, IDC_CHOICE_LIST, "ListBox");
        expectControl(w.m_dlgStep2, IDC_CHOICE_LIST, "ListBox");
        expectControl(w.m_dlgStep3, IDC_CONFIRM_MODEL, "Static");
        expectControl(w.m_dlgStep3, IDC_CONFIRM_PORT, "Static");
        // The template's own text of the page, in the language chosen.
        std::string own = Text(w.m_dlgWelcome.GetDlgItem(IDC_PAGE_TEXT));
        bool ascii = std::all_of(own.begin(), own.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        EXPECT_EQ(!ascii, chinese) << own;

        EXPECT_EQ(w.GetWindowText(), "Orlent Impact Printer Driver Setup Wizard");
        EXPECT_EQ(Text(w.m_dlgWelcome.GetDlgItem(IDC_WELCOME_TEXT)),
                  "Welcome to use Orlent Impact Printer Driver setup wizard");
        ExpectStep(w, 1, "Next>", "Cancel");
        Click(w.m_btnNext);
        ExpectStep(w, 2, "Accept", "Decline");
        Click(w.m_btnNext, 3);
        ExpectStep(w, 5, "Next>", "Cancel");
        EXPECT_EQ(Items(List(w.m_dlgStep1)), Texts{"Orlent 7140"});
        ExpectConfirmed(w, "Orlent 7140", "LPT1:");
        Click(w.m_btnCancel);
    });
}

TEST(ModelList, KeepsConfigurationOrderAndSelectsTheFirstItem) {
    HWND list = CreateWindowA("LISTBOX", "", WS_POPUP | LBS_SORT, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    for (const auto& [config, items] : std::vector<std::pair<std::string, Texts>>{
             {"A;;B;", {"A", "", "B"}}, {"A;B", {"A"}}, {"no separator", {}}}) {
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        FillModelList(list, config);
        EXPECT_EQ(Items(list), items) << config;
        EXPECT_EQ(Selected(list), items.empty() ? LB_ERR : 0) << config;
    }
    DestroyWindow(list);
}

TEST(LicenceText, IsTheFilesBytesUpToTheFirstNulAndTheLimit) {
    TempFolder folder;
    std::string text = "stale";
    EXPECT_FALSE(ReadLicenceText((folder / "missing.txt").c_str(), text));
    EXPECT_EQ(text, "");
    for (const auto& [content, shown] : std::vector<std::pair<std::string, std::string>>{
             {"one\ntwo\n\nthree", "one\ntwo\n\nthree"},
             {std::string("before\0after", 12), "before"},
             {std::string(10 * 1024 * 1024, 'x'), std::string(kLicenceTextLimit, 'x')}}) {
        WriteFileText(folder / "licence.txt", content);
        EXPECT_TRUE(ReadLicenceText((folder / "licence.txt").c_str(), text));
        EXPECT_TRUE(text == shown) << text.size() << " bytes: " << text.substr(0, 40);
    }
}
