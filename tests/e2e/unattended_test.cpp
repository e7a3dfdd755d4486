// The shipped program started as a deployment tool starts it: /S, no display at all (the script
// that runs these unsets DISPLAY and starts no X server), judged by its exit code, its log and what
// the spooler holds afterwards. Each case runs in a fresh Wine prefix of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/instance_lock.h"
#include "tests/e2e/harness.h"
#include "tests/support/paths.h"

namespace {

constexpr const char* kModel = "Orlent 7140";

struct Platform {
    const char* environment;
    const char* folder;
};
constexpr Platform kPlatforms[] = {{"Windows 4.0", "Win98 & ME"},
                                   {"Windows NT x86", "Win2K & XP & 2003"},
                                   {"Windows x64", "Win7_XP64"},
                                   {"Windows NT x86", "Vista & Win7 & Win8"},
                                   {"Windows x64", "Win7_XP64"}};

int ExpectedClass() {
    const char* named = getenv("E2E_PLATFORM_CLASS");
    int code = named && *named ? atoi(named) : (sizeof(void*) == 8 ? 4 : 3);
    return code >= 0 && code <= 4 ? code : 4;
}

class Unattended : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(getenv("DISPLAY"), nullptr) << "these runs must have no display at all";
        CopyTree(SampleMediumDir(), m_medium.path());
        ASSERT_TRUE(CopyFileA(BuiltSetupExe().c_str(), (m_medium / "Setup.exe").c_str(), FALSE));
    }

    // Runs Setup.exe from the medium root to its end; its exit code, ~0 when it did not start,
    // ~1 when it still ran after two minutes (it is then ended). The scenario's script checks
    // Wine's error output for any window asked for.
    DWORD Run(const std::string& arguments) {
        std::string program = m_medium / "Setup.exe";
        std::string commandLine = "\"" + program + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                      0, nullptr, m_medium.path().c_str(), &startup, &info);
        if (!started) {
            return ~0u;
        }
        CloseHandle(info.hThread);
        DWORD code = ~1u;
        if (WaitForSingleObject(info.hProcess, 120000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(info.hProcess, &code);
        } else {
            TerminateProcess(info.hProcess, 99);
            WaitForSingleObject(info.hProcess, 5000);
        }
        CloseHandle(info.hProcess);
        return code;
    }

    std::string LogPath() const { return m_medium / "setup.log"; }
    std::string Log() const { return ReadFileText(LogPath()); }

    static int PrintersOfTheModel() {
        int count = 0;
        for (const auto& p : Printers()) {
            count += p.name.rfind(kModel, 0) == 0;
        }
        return count;
    }

    // No printer, no driver and none of the medium's driver files: nothing was staged or
    // registered.
    void ExpectNothingInstalled() {
        const Platform& p = kPlatforms[ExpectedClass()];
        EXPECT_EQ(PrintersOfTheModel(), 0);
        for (const auto& d : Drivers(p.environment)) {
            EXPECT_NE(d.name.rfind(kModel, 0), 0u) << "driver " << d.name;
        }
        std::string directory = DriverDirectory(p.environment);
        for (const auto& name : FileNames(m_medium / p.folder)) {
            EXPECT_EQ(GetFileAttributesA((directory + "\\" + name).c_str()),
                      INVALID_FILE_ATTRIBUTES)
                << name << " staged";
        }
    }

    // The happy path's state: one printer of the model on LPT1: with its driver, the default,
    // and every file of the class's folder whole in the driver directory.
    void ExpectInstalled() {
        int code = ExpectedClass();
        const Platform& p = kPlatforms[code];
        ASSERT_EQ(PrintersOfTheModel(), 1) << "exactly one printer of the model";
        for (const auto& printer : Printers()) {
            if (printer.name.rfind(kModel, 0) == 0) {
                EXPECT_EQ(printer.name, kModel);
                EXPECT_EQ(printer.driver, kModel);
                EXPECT_EQ(printer.port, "LPT1:");
                EXPECT_EQ(printer.processor, "winprint");
                EXPECT_EQ(printer.datatype, "RAW");
            }
        }
        bool driverFound = false;
        for (const auto& d : Drivers(p.environment)) {
            if (d.name == kModel) {
                driverFound = true;
                EXPECT_EQ(d.driverFile, code == 0 ? "Varo31K.drv" : "UNIDRV.DLL");
                EXPECT_EQ(d.dataFile, code == 0 ? "Varo31K.drv" : "Varo31K.GPD");
            }
        }
        EXPECT_TRUE(driverFound) << "no driver " << kModel << " under " << p.environment;
        EXPECT_EQ(DefaultPrinter(), kModel);
        std::string directory = DriverDirectory(p.environment);
        std::vector<std::string> names = FileNames(m_medium / p.folder);
        ASSERT_FALSE(names.empty());
        for (const auto& name : names) {
            EXPECT_EQ(ReadFileText(directory + "\\" + name),
                      ReadFileText(m_medium / (std::string(p.folder) + "\\" + name)))
                << name << " not whole in " << directory;
        }
    }

    static void ExpectLogHas(const std::string& log, const std::string& text) {
        EXPECT_NE(log.find(text), std::string::npos) << "log lacks \"" << text << "\":\n" << log;
    }

    // The happy path, then the same machine again, as a startup script does on every boot.
    void InstallThenUpdate() {
        int code = ExpectedClass();
        // Quotes around a value with blanks, switches in any case, with "/" or "-".
        ASSERT_EQ(Run("/S \"/log=" + LogPath() + "\" /model=\"orlent 7140\" -PORT=lpt1:"), 0u)
            << Log();
        ExpectInstalled();
        std::string first = Log();
        ExpectLogHas(first, "start: Setup 1.0.0.1, command line: ");
        ExpectLogHas(first, "platform class " + std::to_string(code) + " (");
        for (const char* step : {"progress 10%", "progress 20%", "progress 60%", "progress 80%",
                                 "progress 100%", "trace: The PrinterDriverPath is : ",
                                 "step: making \"Orlent 7140\" the default printer",
                                 "outcome: Orlent 7140 Setup Complete!", "exit code 0"}) {
            ExpectLogHas(first, step);
        }
        EXPECT_EQ(first.find("message ("), std::string::npos) << "a message on the happy path";
        // Every line stamped: "YYYY-MM-DD hh:mm:ss.mmm ".
        EXPECT_EQ(first.substr(4, 1) + first.substr(7, 1) + first.substr(10, 1), "-- ") << first;

        // The same machine again, as a startup script does on every boot.
        ASSERT_EQ(Run("-quiet /log=" + LogPath()), 0u) << Log();
        ExpectInstalled();
        std::string both = Log();
        ASSERT_EQ(both.compare(0, first.size(), first), 0) << "the log was not appended to";
        std::string second = both.substr(first.size());
        ExpectLogHas(second, "exists with its driver: updating it");
        ExpectLogHas(second, "exit code 0");
        EXPECT_EQ(second.find("(Copy"), std::string::npos) << second;
    }

    TempFolder m_medium;
};

TEST_F(Unattended, HeadlessInstallsThenUpdatesOnTheNextRun) {
    InstallThenUpdate();
}

#ifdef _WIN64
// The shipped 32-bit program on 64-bit Windows (WoW64). Wine's 32-bit AddPrinterA finds a driver
// under "Windows NT x86" only, where the 64-bit spooler of Windows serves the program from
// "Windows x64": a driver of the same name registered there by a 32-bit helper stands in for that.
TEST_F(Unattended, Wow64HeadlessInstallsThenUpdatesOnTheNextRun) {
    std::string built32 = BinaryDir() + "\\..\\i686";
    if (GetFileAttributesA((built32 + "\\Setup.exe").c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no 32-bit build at " << built32;
    }
    ASSERT_TRUE(
        CopyFileA((built32 + "\\Setup.exe").c_str(), (m_medium / "Setup.exe").c_str(), FALSE));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string standIn = built32 + "\\tests\\e2e\\x86_driver_stand_in.exe";
    std::string commandLine = "\"" + standIn + "\" \"" + kModel + "\" X86STAND.DLL";
    ASSERT_TRUE(CreateProcessA(standIn.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &info));
    CloseHandle(info.hThread);
    DWORD code = ~0u;
    WaitForSingleObject(info.hProcess, 30000);
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    ASSERT_EQ(code, 0u) << "the x86 stand-in driver was not registered";
    InstallThenUpdate();
}
#endif

TEST_F(Unattended, BadArgumentsInstallNothing) {
    struct Case {
        const char* arguments;
        const char* reason;
    } cases[] = {
        {"/port=COM9:", "the spooler reports no port \"COM9:\""},
        {"/model=Nothing", "no model \"Nothing\""},
        {"/frobnicate", "unknown argument or switch without its value: \"/frobnicate\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        DeleteFileA(LogPath().c_str());
        EXPECT_EQ(Run(std::string("/S /log=") + LogPath() + " " + c.arguments), 87u) << Log();
        std::string log = Log();
        ExpectLogHas(log, c.reason);
        ExpectLogHas(log, "exit code 87");
        EXPECT_EQ(log.find("step:"), std::string::npos) << "an installation began";
    }
    ExpectNothingInstalled();
}

TEST_F(Unattended, UnreadableDriverFolderFails) {
    const Platform& p = kPlatforms[ExpectedClass()];
    // Held open without sharing: the medium's file cannot be read.
    const char* file = ExpectedClass() == 0 ? "Varo31K.drv" : "Varores.dll";
    std::string held = m_medium / (std::string(p.folder) + "\\" + file);
    HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    DWORD exitCode = Run("/S /log=" + LogPath());
    CloseHandle(lock);
    EXPECT_EQ(exitCode, 1603u) << Log();
    std::string log = Log();
    ExpectLogHas(log, "step failed: staging the driver files, last error 32 (0x00000020)");
    ExpectLogHas(log, "message (INFO, information): Files access denied!");
    ExpectLogHas(log, "message (INFO, information): Copy printer driver files To system Fail!");
    ExpectLogHas(log, "outcome: Orlent 7140 Setup Fail!");
    ExpectLogHas(log, "exit code 1603");
    EXPECT_EQ(PrintersOfTheModel(), 0);
    for (const auto& d : Drivers(p.environment)) {
        EXPECT_NE(d.name.rfind(kModel, 0), 0u) << "driver " << d.name;
    }
}

TEST_F(Unattended, AnotherCopyInstallingAnswersRetryLater) {
    // What a running copy holds.
    std::string name = std::string("Global\\") + kInstanceMutexName;
    HANDLE held = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_NE(held, nullptr);
    DWORD exitCode = Run("/S /log=" + LogPath());
    CloseHandle(held);
    EXPECT_EQ(exitCode, 1618u) << Log();
    ExpectLogHas(Log(), "another copy of the program is installing");
    ExpectLogHas(Log(), "exit code 1618");
    ExpectNothingInstalled();
}

TEST_F(Unattended, UnwritableLogChangesNothing) {
    // A folder of that name: the log cannot be opened.
    ASSERT_TRUE(CreateDirectoryA(LogPath().c_str(), nullptr));
    EXPECT_EQ(Run("/S /log=" + LogPath()), 0u);
    ExpectInstalled();
}

} // namespace
