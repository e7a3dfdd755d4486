// Two copies of Setup.exe at once, as a double start or two administrators make them. The second
// never opens a launcher of its own: it brings the first copy's window to the front and ends, also
// while the first is copying a large driver file, so nothing is staged over the first copy's files.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>

#include "res/launcher_ids.h"
#include "res/wizard_ids.h"
#include "tests/e2e/harness.h"
#include "tests/support/paths.h"

namespace {

// Class 3: the shipped 32-bit program in a 32-bit prefix that reports Windows 7.
constexpr const char* kFolder = "Vista & Win7 & Win8";
constexpr const char* kEnvironment = "Windows NT x86";

class TwoCopies : public ::testing::Test {
protected:
    void SetUp() override {
        CopyTree(SampleMediumDir(), m_medium.path());
        ASSERT_TRUE(CopyFileA(BuiltSetupExe().c_str(), program().c_str(), FALSE));
    }
    std::string program() const { return m_medium / "Setup.exe"; }

    // Starts a second copy and waits until it ends; true when it showed no launcher meanwhile.
    bool SecondCopyShowsNoLauncher(DWORD* exitCode) {
        SetupRun second(program(), m_medium.path());
        EXPECT_TRUE(second.started());
        bool launcher = false;
        bool ended = WaitFor([&] {
            launcher = launcher ||
                       second.waitWindow([](HWND w) { return GetDlgItem(w, IDC_BTN_DRIVER); }, 0);
            return second.waitExit(exitCode, 0);
        });
        EXPECT_TRUE(ended) << "the second copy still runs";
        if (launcher) {
            // The program without its lock goes on as a second installation; record what it did.
            std::cout << "record: the second copy opened a launcher of its own" << std::endl;
            m_secondResult = InstallThrough(second);
            std::cout << "record: the second copy's installation ended with \"" << m_secondResult
                      << "\"" << std::endl;
        }
        return !launcher;
    }

    // Driver, then Next through welcome, agreement, model, port and confirmation; the result text.
    static std::string InstallThrough(SetupRun& run) {
        HWND launcher = run.waitLauncher();
        if (!launcher) {
            return "no launcher";
        }
        Click(launcher, IDC_BTN_DRIVER);
        HWND wizard = run.waitWizard();
        for (int page = 0; wizard && page < 4; ++page) {
            TurnPage(wizard, IDC_BTN_NEXT);
        }
        if (wizard) {
            Click(wizard, IDC_BTN_NEXT);
        }
        MessageBoxSeen seen;
        std::string texts;
        while (run.acknowledge(&seen, 60000)) {
            texts += seen.text;
            if (seen.text.find("Setup") != std::string::npos) {
                break;
            }
            texts += " / ";
        }
        return texts;
    }

    TempFolder m_medium;
    std::string m_secondResult;
};

} // namespace

TEST_F(TwoCopies, TheSecondBringsTheFirstToTheFrontAndEnds) {
    SetupRun first(program(), m_medium.path());
    HWND launcher = first.waitLauncher();
    ASSERT_NE(launcher, nullptr);
    // Something else in front first, so that coming to the front is seen: the system's editor.
    SetupRun other(SystemFolder() + "\\notepad.exe", m_medium.path());
    HWND editor = other.waitWindow([](HWND w) { return ClassName(w) == "Notepad"; });
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == editor; }));

    DWORD code = 99;
    EXPECT_TRUE(SecondCopyShowsNoLauncher(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == launcher; }, 5000))
        << "the first copy's launcher did not come to the front";

    // While the wizard runs, the launcher is disabled: its wizard is what comes to the front.
    Click(launcher, IDC_BTN_DRIVER);
    HWND wizard = first.waitWizard();
    ASSERT_NE(wizard, nullptr);
    // The wizard comes to the front a moment after it shows; the editor goes before it only then.
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == wizard; }));
    SetForegroundWindow(editor);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == editor; }));
    EXPECT_TRUE(SecondCopyShowsNoLauncher(&code));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == wizard; }, 5000))
        << "the first copy's wizard did not come to the front";
    PostMessageA(editor, WM_CLOSE, 0, 0);
    Click(wizard, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(launcher) && !IsWindow(wizard); }));
    Click(launcher, IDC_BTN_EXIT);
    EXPECT_TRUE(first.waitExit(&code));
    EXPECT_EQ(code, 0u);

    // The first copy has ended: the next one is the only one and opens its launcher.
    SetupRun third(program(), m_medium.path());
    HWND again = third.waitLauncher();
    ASSERT_NE(again, nullptr) << "the lock outlived the copy that held it";
    Click(again, IDC_BTN_EXIT);
    EXPECT_TRUE(third.waitExit(&code));
}

TEST_F(TwoCopies, NoSecondInstallationWhileTheFirstCopiesALargeFile) {
    // 256 MiB of a pattern, so that the first copy is still copying when the second starts, and a
    // file with another file's bytes would show.
    std::string big = m_medium / (std::string(kFolder) + "\\Varores.dll");
    {
        HANDLE file =
            CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::string chunk(1 << 20, '\0');
        for (size_t i = 0; i < chunk.size(); ++i) {
            chunk[i] = static_cast<char>(i * 7 + i / 4096);
        }
        DWORD written = 0;
        for (int i = 0; i < 256; ++i) {
            chunk[0] = static_cast<char>(i);
            ASSERT_TRUE(
                WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr));
        }
        CloseHandle(file);
    }
    SetupRun first(program(), m_medium.path());
    HWND launcher = first.waitLauncher();
    ASSERT_NE(launcher, nullptr);
    Click(launcher, IDC_BTN_DRIVER);
    HWND wizard = first.waitWizard();
    ASSERT_NE(wizard, nullptr);
    for (int page = 0; page < 4; ++page) {
        ASSERT_TRUE(TurnPage(wizard, IDC_BTN_NEXT)) << "page " << page;
    }
    Click(wizard, IDC_BTN_NEXT);
    HWND progress = first.waitProgressBox();
    ASSERT_NE(progress, nullptr);

    DWORD code = 99;
    EXPECT_TRUE(SecondCopyShowsNoLauncher(&code));
    EXPECT_TRUE(IsWindow(progress)) << "the first copy's installation ended before the second";

    MessageBoxSeen seen;
    std::string texts;
    while (first.acknowledge(&seen, 120000)) {
        texts += seen.text;
        if (seen.text.find("Setup") != std::string::npos) {
            break;
        }
        texts += " / ";
    }
    std::cout << "record: the first copy's installation ended with \"" << texts << "\""
              << std::endl;
    EXPECT_EQ(texts, "Orlent 7140 Setup Complete!");
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(launcher); }));
    Click(launcher, IDC_BTN_EXIT);
    EXPECT_TRUE(first.waitExit(&code));

    // Whoever said it was complete: every staged file has the medium's bytes.
    std::string folder = m_medium / kFolder, target = DriverDirectory(kEnvironment);
    std::string wrong;
    for (const std::string& name : FileNames(folder)) {
        if (ReadFileText(target + "\\" + name) != ReadFileText(folder + "\\" + name)) {
            wrong += " " + name;
        }
    }
    std::cout << "record: staged files without the medium's bytes:"
              << (wrong.empty() ? " none" : wrong) << std::endl;
    EXPECT_EQ(wrong, "") << "staged files without the medium's bytes";
    EXPECT_EQ(m_secondResult, "") << "a second installation ran";
}
