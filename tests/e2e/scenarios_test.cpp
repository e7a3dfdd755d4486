// The shipped program driven from outside. Each scenario runs in a fresh Wine prefix of its own
// (run-scenario.sh), so every one starts on a system where nothing was installed.
#include <windows.h>

#include <commctrl.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "res/launcher_ids.h"
#include "res/wizard_ids.h"
#include "tests/e2e/harness.h"
#include "tests/support/paths.h"

namespace {

constexpr const char* kModel = "Orlent 7140";

// What an installation leaves behind in each platform class.
struct Platform {
    int platformClass;
    const char* environment;
    const char* folder; // the driver folder on the medium
};
constexpr Platform kPlatforms[] = {{0, "Windows 4.0", "Win98 & ME"},
                                   {1, "Windows NT x86", "Win2K & XP & 2003"},
                                   {2, "Windows x64", "Win7_XP64"},
                                   {3, "Windows NT x86", "Vista & Win7 & Win8"},
                                   {4, "Windows x64", "Win7_XP64"}};

// The class that the prefix's reported Windows version and word size make, named by
// run-scenario.sh; otherwise Wine's default NT 6 version in a prefix as wide as this harness, which
// is built like the program it drives.
const Platform& Expected() {
    const char* named = getenv("E2E_PLATFORM_CLASS");
    int code = named && *named ? atoi(named) : (sizeof(void*) == 8 ? 4 : 3);
    if (code < 0 || code > 4) {
        ADD_FAILURE() << "no platform class " << named;
        code = 4;
    }
    return kPlatforms[code];
}

class Scenario : public ::testing::Test {
protected:
    // The sample medium with Setup.exe at its root, in a folder the scenario may change.
    void SetUp() override {
        CopyTree(SampleMediumDir(), m_medium.path());
        ASSERT_TRUE(CopyFileA(BuiltSetupExe().c_str(), (m_medium / "Setup.exe").c_str(), FALSE));
    }

    std::string program() const { return m_medium / "Setup.exe"; }

    static std::string Caption(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

    // The wizard sets captions just after it shows a page: the caption once it is the one
    // expected, or as it stands after a few seconds.
    static std::string CaptionSoon(HWND dialog, int id, const std::string& expected) {
        std::string seen;
        WaitFor(
            [&] {
                seen = Caption(dialog, id);
                return seen == expected;
            },
            5000);
        return seen;
    }

    // Presses Next and waits until another page shows.
    static bool Next(HWND wizard) { return TurnPage(wizard, IDC_BTN_NEXT); }

    static bool Back(HWND wizard) { return TurnPage(wizard, IDC_BTN_BACK); }

    // Launcher → Driver → welcome → Accept → model → port page shown; returns the wizard.
    static HWND OpenWizardAtPortPage(SetupRun& run) {
        HWND launcher = run.waitLauncher();
        EXPECT_NE(launcher, nullptr) << "no launcher";
        if (!launcher) {
            return nullptr;
        }
        Click(launcher, IDC_BTN_DRIVER);
        HWND wizard = run.waitWizard();
        EXPECT_NE(wizard, nullptr) << "no wizard";
        if (!wizard) {
            return nullptr;
        }
        EXPECT_EQ(WindowText(wizard), "Orlent Impact Printer Driver Setup Wizard");
        EXPECT_TRUE(Next(wizard)) << "welcome → agreement";
        EXPECT_EQ(CaptionSoon(wizard, IDC_BTN_NEXT, "Accept"), "Accept");
        EXPECT_EQ(CaptionSoon(wizard, IDCANCEL, "Decline"), "Decline");
        EXPECT_TRUE(Next(wizard)) << "agreement → model";
        EXPECT_TRUE(Next(wizard)) << "model → port";
        return wizard;
    }

    // From the port page with LPT1: chosen: confirmation, then the install; returns the result
    // message as seen, and the progress box as it shows behind that message.
    static MessageBoxSeen ConfirmAndInstall(SetupRun& run, HWND wizard,
                                            ProgressSeen* atResult = nullptr) {
        MessageBoxSeen result;
        EXPECT_TRUE(Next(wizard)) << "port → confirmation";
        // The frame fills the two fields just after showing the page.
        HWND page = nullptr;
        EXPECT_TRUE(WaitFor([&] {
            page = VisiblePage(wizard);
            return page && Caption(page, IDC_CONFIRM_MODEL) == kModel &&
                   Caption(page, IDC_CONFIRM_PORT) == "LPT1:";
        })) << "confirmation shows "
            << Caption(page, IDC_CONFIRM_MODEL) << " on " << Caption(page, IDC_CONFIRM_PORT);
        Click(wizard, IDC_BTN_NEXT);
        HWND box = run.waitProgressBox();
        EXPECT_NE(box, nullptr) << "no progress box";
        HWND message = run.waitMessageBox(60000);
        EXPECT_NE(message, nullptr) << "no result message";
        if (message) {
            // The box closes once the message is acknowledged.
            if (atResult && box) {
                *atResult = ReadProgress(box);
            }
            result = run.boxes().back();
            run.dismiss(message);
        }
        return result;
    }

    static bool ExitLauncher(SetupRun& run) {
        HWND launcher = run.waitLauncher();
        if (!launcher) {
            return false;
        }
        Click(launcher, IDC_BTN_EXIT);
        DWORD code = 1;
        return run.waitExit(&code) && code == 0;
    }

    static bool HasPrinter(const std::string& name) {
        for (const auto& p : Printers()) {
            if (p.name == name) {
                return true;
            }
        }
        return false;
    }

    static bool FileExists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    static FILETIME WriteTime(const std::string& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }

    void ExpectNothingRegistered() {
        for (const auto& p : Printers()) {
            EXPECT_NE(p.name.rfind(kModel, 0), 0u) << "printer " << p.name;
        }
        for (const auto& d : Drivers(Expected().environment)) {
            EXPECT_NE(d.name.rfind(kModel, 0), 0u) << "driver " << d.name;
        }
    }

    // Several driver folders hold files of the same names and bytes; a file of its own in each
    // tells which folder was staged.
    void MarkDriverFolders() {
        for (const auto& p : kPlatforms) {
            WriteFileText(m_medium / (std::string(p.folder) + "\\folder.id"), p.folder);
        }
    }

    // Every file of the class's driver folder, with the medium's bytes, in the driver directory,
    // and the setup-information file registered (Wine keeps its name when it is free).
    void ExpectStaged(const Platform& p, const std::string& driverDirectory) {
        std::string folder = m_medium / p.folder;
        std::vector<std::string> names = FileNames(folder);
        ASSERT_FALSE(names.empty());
        for (const auto& name : names) {
            EXPECT_EQ(ReadFileText(driverDirectory + "\\" + name),
                      ReadFileText(folder + "\\" + name))
                << name << " of " << p.folder << " not staged into " << driverDirectory;
        }
        EXPECT_EQ(ReadFileText(WindowsFolder() + "\\inf\\Varo31K.inf"),
                  ReadFileText(folder + "\\Varo31K.inf"))
            << "setup-information file not registered";
    }

    // The driver as the spooler stored it, read back at level 6: for the 9x family (level 3)
    // built from the model's own driver file, for the NT family (level 6) from the universal
    // driver's modules. Wine does not store a level-6 record's manufacturer (nor date and
    // version), so the manufacturer passed is checked where the engine's calls are recorded.
    static void ExpectDriver(const Platform& p) {
        bool found = false;
        for (const auto& d : Drivers(p.environment)) {
            if (d.name != kModel) {
                continue;
            }
            found = true;
            std::vector<std::string> dependent;
            if (p.platformClass == 0) {
                EXPECT_EQ(d.driverFile, "Varo31K.drv");
                EXPECT_EQ(d.dataFile, "Varo31K.drv");
                EXPECT_EQ(d.configFile, "Varo31K.drv");
                EXPECT_EQ(d.helpFile, "");
                dependent = {"Varo31K.drv", "Unidrv.dll", "Iconlib.dll", "Varo31K.drv"};
            } else {
                EXPECT_EQ(d.driverFile, "UNIDRV.DLL");
                EXPECT_EQ(d.dataFile, "Varo31K.GPD");
                EXPECT_EQ(d.configFile, "UNIDRVUI.DLL");
                EXPECT_EQ(d.helpFile, "UNIDRV.HLP");
                dependent = {"Varores.dll", "STDNAMES.GPD", "UNIRES.DLL"};
                if (p.platformClass >= 3) {
                    dependent.insert(dependent.end(),
                                     {"STDDTYPE.GDL", "STDSCHEM.GDL", "STDSCHMX.GDL"});
                }
            }
            EXPECT_EQ(d.dependentFiles, dependent);
            EXPECT_EQ(d.defaultDataType, "RAW");
            EXPECT_EQ(d.monitor, "");
        }
        EXPECT_TRUE(found) << "no driver " << kModel << " under " << p.environment;
    }

    // The 9x family has no spooler call for it: the profile entry names printer, driver and port.
    // The NT spooler keeps the same entry, with a driver field of its own.
    static void ExpectDefaultPrinter(const Platform& p) {
        EXPECT_EQ(DefaultPrinter(), kModel);
        std::string profileEntry = "Orlent 7140,Orlent 7140,LPT1:";
        if (p.platformClass == 0) {
            EXPECT_EQ(DefaultDeviceEntry(), profileEntry);
        } else {
            EXPECT_NE(DefaultDeviceEntry(), profileEntry) << "set through the profile";
        }
    }

    TempFolder m_medium;
};

int PortIndex(const char* port) {
    DWORD needed = 0, count = 0;
    EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &count)) {
        return -1;
    }
    auto* ports = reinterpret_cast<PORT_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (std::string(ports[i].pName) == port) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

TEST_F(Scenario, HappyPath) {
    const Platform& p = Expected();
    MarkDriverFolders();
    SetupRun run(program(), m_medium.path());
    ASSERT_TRUE(run.started());
    HWND wizard = OpenWizardAtPortPage(run);
    ASSERT_NE(wizard, nullptr);
    MessageBoxSeen result = ConfirmAndInstall(run, wizard);
    EXPECT_EQ(result.caption, "INFO");
    EXPECT_EQ(result.text, "Orlent 7140 Setup Complete!");
    EXPECT_EQ(result.icon, BoxIcon::Information);
    ASSERT_EQ(run.boxes().size(), 1u) << "only the result message is expected";
    ASSERT_TRUE(ExitLauncher(run)) << "launcher not usable again, or exit code not 0";

    bool found = false;
    for (const auto& printer : Printers()) {
        if (printer.name == kModel) {
            found = true;
            EXPECT_EQ(printer.driver, kModel);
            EXPECT_EQ(printer.port, "LPT1:");
            EXPECT_EQ(printer.processor, "winprint");
            EXPECT_EQ(printer.datatype, "RAW");
        }
    }
    EXPECT_TRUE(found) << "printer not registered";
    ExpectDriver(p);
    ExpectDefaultPrinter(p);

    std::string target = DriverDirectory(p.environment);
    ExpectStaged(p, target);
    DWORD attributes = GetFileAttributesA((target + "\\UNIDRV.DLL").c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY) << "UNIDRV.DLL not read-only";
    EXPECT_EQ(ReadFileText(SystemFolder() + "\\srclient.dll"),
              ReadFileText(m_medium / (std::string(p.folder) + "\\srclient.dll")));
}

#ifdef _WIN64
namespace {

// Runs a program to its end; its exit code, or ~0 when it did not start or end.
DWORD RunToEnd(const std::string& program, const std::string& arguments) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + program + "\" " + arguments;
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        return ~0u;
    }
    CloseHandle(info.hThread);
    DWORD code = ~0u;
    if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(info.hProcess, &code);
    }
    CloseHandle(info.hProcess);
    return code;
}

// What the spooler holds, for the log.
std::string SpoolerState() {
    std::string state;
    for (const auto& p : Printers()) {
        char attributes[16];
        snprintf(attributes, sizeof(attributes), "0x%lx", p.attributes);
        state += "printer \"" + p.name + "\": driver \"" + p.driver + "\", " + p.port + ", " +
                 p.processor + ", " + p.datatype + ", attributes " + attributes + "\n";
    }
    for (const char* environment : {"Windows x64", "Windows NT x86"}) {
        for (const auto& d : Drivers(environment)) {
            state += "driver \"" + d.name + "\" under \"" + environment + "\": " + d.driverFile +
                     ", " + d.dataFile + ", " + d.configFile;
            for (const auto& f : d.dependentFiles) {
                state += ", " + f;
            }
            state += "\n";
        }
    }
    return state + "default printer \"" + DefaultPrinter() + "\"\n";
}

// The i686 build beside this one, where the shipped file and the 32-bit helpers are.
std::string Built32() {
    return BinaryDir() + "\\..\\i686";
}

// Wine's 32-bit AddPrinterA finds a driver under "Windows NT x86" only; on Windows the 64-bit
// spooler serves the program from "Windows x64". A driver of the same name, registered there by a
// 32-bit helper of ours, stands in for that; the program itself is unchanged.
constexpr const char* kStandInFile = "X86STAND.DLL";
bool RegisterX86StandIn() {
    return RunToEnd(Built32() + "\\tests\\e2e\\x86_driver_stand_in.exe",
                    std::string("\"") + kModel + "\" " + kStandInFile) == 0;
}

} // namespace

// The shipped 32-bit program on 64-bit Windows (WoW64), in a 64-bit prefix of the x64 classes. The
// spooler is read back by this 64-bit harness, as a 64-bit system's own tools see it; Wine keeps
// one set of printer and driver records per prefix for 32- and 64-bit callers alike.
TEST_F(Scenario, Wow64CompletesForX64) {
    const Platform& p = Expected();
    ASSERT_STREQ(p.environment, "Windows x64") << "a class of 64-bit systems is expected";
    std::string built32 = Built32();
    if (!FileExists(built32 + "\\Setup.exe")) {
        GTEST_SKIP() << "no 32-bit build at " << built32;
    }
    ASSERT_TRUE(CopyFileA((built32 + "\\Setup.exe").c_str(), program().c_str(), FALSE));
    const std::string standInFile = kStandInFile;
    ASSERT_TRUE(RegisterX86StandIn()) << "the x86 stand-in driver was not registered";
    MarkDriverFolders();
    {
        SetupRun run(program(), m_medium.path());
        HWND wizard = OpenWizardAtPortPage(run);
        ASSERT_NE(wizard, nullptr);
        ProgressSeen progress;
        MessageBoxSeen result = ConfirmAndInstall(run, wizard, &progress);
        EXPECT_EQ(progress.position, 100);
        EXPECT_EQ(progress.field, "100%");
        EXPECT_EQ(result.text, "Orlent 7140 Setup Complete!");
        EXPECT_EQ(result.icon, BoxIcon::Information);
        ASSERT_EQ(run.boxes().size(), 1u) << "only the result message is expected";
        ASSERT_TRUE(ExitLauncher(run));
    }
    std::cout << SpoolerState();

    // The spooler's folder is exempt from the 32-bit redirection: the real system32.
    std::string target = DriverDirectory(p.environment);
    EXPECT_EQ(target, WindowsFolder() + "\\system32\\spool\\drivers\\x64");
    ExpectStaged(p, target);
    EXPECT_FALSE(FileExists(WindowsFolder() + "\\syswow64\\spool\\drivers\\x64\\UNIDRV.DLL"));
    EXPECT_FALSE(FileExists(DriverDirectory("Windows NT x86") + "\\Varo31K.GPD"));
    ExpectDriver(p);
    // The x86 record is still the stand-in's own: the program registered nothing there.
    int x86Records = 0;
    for (const auto& d : Drivers("Windows NT x86")) {
        if (d.name == kModel) {
            ++x86Records;
            EXPECT_EQ(d.driverFile, standInFile);
            EXPECT_EQ(d.dataFile, standInFile);
            EXPECT_EQ(d.configFile, standInFile);
            EXPECT_TRUE(d.dependentFiles.empty());
        }
    }
    EXPECT_EQ(x86Records, 1);
    // The program's own system folder is SysWOW64.
    EXPECT_EQ(ReadFileText(WindowsFolder() + "\\syswow64\\srclient.dll"),
              ReadFileText(m_medium / (std::string(p.folder) + "\\srclient.dll")));

    auto expectPrinters = [](const std::vector<std::string>& names) {
        std::vector<std::string> seen;
        for (const auto& printer : Printers()) {
            if (printer.name.rfind(kModel, 0) != 0) {
                continue;
            }
            seen.push_back(printer.name);
            EXPECT_EQ(printer.driver, kModel) << printer.name;
            EXPECT_EQ(printer.port, "LPT1:") << printer.name;
            EXPECT_EQ(printer.processor, "winprint") << printer.name;
            EXPECT_EQ(printer.datatype, "RAW") << printer.name;
            EXPECT_EQ(printer.attributes, DWORD{PRINTER_ATTRIBUTE_LOCAL}) << printer.name;
        }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(seen, names);
    };
    expectPrinters({kModel});
    ExpectDefaultPrinter(p);

    {
        SetupRun run(program(), m_medium.path());
        HWND wizard = OpenWizardAtPortPage(run);
        ASSERT_NE(wizard, nullptr);
        EXPECT_EQ(ConfirmAndInstall(run, wizard).text, "Orlent 7140 Setup Complete!");
        ASSERT_TRUE(ExitLauncher(run));
    }
    std::cout << SpoolerState();
    expectPrinters({kModel, "Orlent 7140 (Copy 1)"});
    EXPECT_EQ(DefaultPrinter(), "Orlent 7140 (Copy 1)");
}
#endif

// The program runs elevated from wherever the medium lies, often an unpacked download. A file
// named like a system DLL beside it must never be loaded: the loader looks in the program's folder
// first for any DLL that is not one of the system's known DLLs. Wine prefers its own DLLs, so for a
// search as Windows makes it the planted names are set to native first.
TEST_F(Scenario, PlantedDllsAreNeverLoaded) {
    // The names come with the native-first setting, "name,name,...=n,b"; a name without an
    // extension is a .dll.
    const char* setting = getenv("WINEDLLOVERRIDES");
    std::string names = setting ? setting : "";
    names = names.substr(0, names.find('='));
    std::vector<std::string> planted;
    for (size_t start = 0; start < names.size();) {
        size_t end = std::min(names.find(',', start), names.size());
        std::string name = names.substr(start, end - start);
        planted.push_back(name.find('.') == std::string::npos ? name + ".dll" : name);
        start = end + 1;
    }
    ASSERT_FALSE(planted.empty()) << "no native-first DLLs named in WINEDLLOVERRIDES";
    std::string built = BinaryDir();
#ifdef _WIN64
    // Set for the shipped 32-bit file under WoW64: it and the marker come from the i686 build.
    if (getenv("E2E_NEEDS_WIN32")) {
        built = Built32();
        ASSERT_TRUE(CopyFileA((built + "\\Setup.exe").c_str(), program().c_str(), FALSE)) << built;
        ASSERT_TRUE(RegisterX86StandIn()) << "the x86 stand-in driver was not registered";
    }
#endif
    std::string marker = built + "\\tests\\e2e\\planted_marker.dll";
    for (const std::string& name : planted) {
        ASSERT_TRUE(CopyFileA(marker.c_str(), (m_medium / name).c_str(), FALSE)) << name;
    }
    // Set for the stand-in of the systems that have neither restriction.
    if (getenv("E2E_OLDER_WINDOWS")) {
        std::string older = BinaryDir() + "\\tests\\e2e\\setup_on_older_windows.exe";
        ASSERT_TRUE(CopyFileA(older.c_str(), program().c_str(), FALSE)) << older;
    }
    const Platform& p = Expected();
    SetupRun run(program(), m_medium.path());
    ASSERT_TRUE(run.started());
    HWND wizard = OpenWizardAtPortPage(run);
    if (wizard) {
        MessageBoxSeen result = ConfirmAndInstall(run, wizard);
        EXPECT_EQ(result.text, "Orlent 7140 Setup Complete!");
        EXPECT_EQ(result.icon, BoxIcon::Information);
        EXPECT_TRUE(ExitLauncher(run)) << "launcher not usable again, or exit code not 0";
    }
    std::string loaded;
    for (const std::string& name : planted) {
        if (FileExists(m_medium / (name + ".loaded"))) {
            loaded += " " + name;
        }
    }
    EXPECT_EQ(loaded, "") << "planted DLLs loaded into the program";
    ASSERT_NE(wizard, nullptr);
    std::vector<PrinterSeen> printers = Printers();
    auto printer = std::find_if(printers.begin(), printers.end(),
                                [](const PrinterSeen& seen) { return seen.name == kModel; });
    ASSERT_NE(printer, printers.end()) << "printer not registered";
    EXPECT_EQ(printer->driver, kModel);
    EXPECT_EQ(printer->port, "LPT1:");
    ExpectDriver(p);
    ExpectDefaultPrinter(p);
    ExpectStaged(p, DriverDirectory(p.environment));
}

TEST_F(Scenario, SecondRunAddsACopyAndLeavesDriverFilesAlone) {
    std::string target = DriverDirectory(Expected().environment);
    {
        SetupRun run(program(), m_medium.path());
        HWND wizard = OpenWizardAtPortPage(run);
        ASSERT_NE(wizard, nullptr);
        EXPECT_EQ(ConfirmAndInstall(run, wizard).text, "Orlent 7140 Setup Complete!");
        ASSERT_TRUE(ExitLauncher(run));
    }
    std::vector<std::pair<std::string, FILETIME>> times;
    for (const auto& name : FileNames(m_medium / Expected().folder)) {
        times.push_back({name, WriteTime(target + "\\" + name)});
    }
    Sleep(1100); // a rewrite would show in the timestamps
    {
        SetupRun run(program(), m_medium.path());
        HWND wizard = OpenWizardAtPortPage(run);
        ASSERT_NE(wizard, nullptr);
        EXPECT_EQ(ConfirmAndInstall(run, wizard).text, "Orlent 7140 Setup Complete!");
        ASSERT_TRUE(ExitLauncher(run));
    }
    EXPECT_TRUE(HasPrinter(kModel));
    EXPECT_TRUE(HasPrinter("Orlent 7140 (Copy 1)"));
    EXPECT_EQ(DefaultPrinter(), "Orlent 7140 (Copy 1)");
    for (const auto& [name, before] : times) {
        FILETIME after = WriteTime(target + "\\" + name);
        EXPECT_EQ(CompareFileTime(&before, &after), 0) << name << " rewritten";
    }
}

TEST_F(Scenario, DeclineInstallsNothing) {
    SetupRun run(program(), m_medium.path());
    HWND launcher = run.waitLauncher();
    ASSERT_NE(launcher, nullptr);
    Click(launcher, IDC_BTN_DRIVER);
    HWND wizard = run.waitWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(Next(wizard));
    ASSERT_EQ(CaptionSoon(wizard, IDCANCEL, "Decline"), "Decline");
    Click(wizard, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(wizard) || !IsWindowVisible(wizard); }));
    ASSERT_TRUE(ExitLauncher(run));
    EXPECT_TRUE(run.boxes().empty());
    ExpectNothingRegistered();
    std::string target = DriverDirectory(Expected().environment);
    EXPECT_FALSE(FileExists(target + "\\Varo31K.GPD"));
    // Wine has a srclient.dll of its own there; ours must not have replaced it.
    EXPECT_NE(ReadFileText(SystemFolder() + "\\srclient.dll"),
              ReadFileText(m_medium / (std::string(Expected().folder) + "\\srclient.dll")));
}

TEST_F(Scenario, NoPortChosenIsRefusedUntilOneIs) {
    SetupRun run(program(), m_medium.path());
    HWND wizard = OpenWizardAtPortPage(run);
    ASSERT_NE(wizard, nullptr);
    HWND portList = FindControl(VisiblePage(wizard), IDC_CHOICE_LIST);
    ASSERT_NE(portList, nullptr);
    SelectListItem(portList, -1);
    ASSERT_TRUE(Next(wizard));
    HWND confirmation = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        confirmation = VisiblePage(wizard);
        return confirmation && GetDlgItem(confirmation, IDC_CONFIRM_MODEL);
    }));
    EXPECT_EQ(CaptionSoon(confirmation, IDC_CONFIRM_PORT, ""), "");
    Click(wizard, IDC_BTN_NEXT);
    MessageBoxSeen refusal;
    ASSERT_TRUE(run.acknowledge(&refusal));
    EXPECT_EQ(refusal.caption, "INFO");
    EXPECT_EQ(refusal.text, "Please select the printer model and port before setup go on!");
    EXPECT_EQ(refusal.icon, BoxIcon::Information);
    EXPECT_EQ(refusal.owner, wizard);
    EXPECT_EQ(VisiblePage(wizard), confirmation) << "wizard must stay on the confirmation";
    ASSERT_TRUE(Back(wizard));
    int lpt1 = PortIndex("LPT1:");
    ASSERT_GE(lpt1, 0);
    SelectListItem(FindControl(VisiblePage(wizard), IDC_CHOICE_LIST), lpt1);
    MessageBoxSeen result = ConfirmAndInstall(run, wizard);
    EXPECT_EQ(result.text, "Orlent 7140 Setup Complete!");
    ASSERT_TRUE(ExitLauncher(run));
    EXPECT_TRUE(HasPrinter(kModel));
}

TEST_F(Scenario, MediumWithoutAgreementStillInstalls) {
    ASSERT_TRUE(DeleteFileA((m_medium / "agreement.txt").c_str()));
    SetupRun run(program(), m_medium.path());
    HWND launcher = run.waitLauncher();
    ASSERT_NE(launcher, nullptr);
    Click(launcher, IDC_BTN_DRIVER);
    HWND wizard = run.waitWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(Next(wizard));
    HWND licence = FindControl(VisiblePage(wizard), IDC_AGREEMENT_TEXT);
    ASSERT_NE(licence, nullptr);
    EXPECT_EQ(WindowText(licence), "");
    ASSERT_TRUE(Next(wizard));
    ASSERT_TRUE(Next(wizard));
    EXPECT_EQ(ConfirmAndInstall(run, wizard).text, "Orlent 7140 Setup Complete!");
    ASSERT_TRUE(ExitLauncher(run));
    EXPECT_TRUE(HasPrinter(kModel));
}

TEST_F(Scenario, BrokenSetupInformationFileFails) {
    WriteFileText(m_medium / (std::string(Expected().folder) + "\\Varo31K.inf"),
                  "[Version\r\nSignature=broken\r\n");
    SetupRun run(program(), m_medium.path());
    HWND wizard = OpenWizardAtPortPage(run);
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(Next(wizard));
    Click(wizard, IDC_BTN_NEXT);
    ASSERT_NE(run.waitProgressBox(), nullptr);
    MessageBoxSeen seen;
    ASSERT_TRUE(run.acknowledge(&seen, 60000));
    EXPECT_EQ(seen.text, "Copy inf to sysinfdir fail! ");
    EXPECT_EQ(seen.icon, BoxIcon::Error);
    // The staging failure, then the result.
    while (run.acknowledge(&seen, 15000) && seen.text != "Orlent 7140 Setup Fail!") {
        EXPECT_EQ(seen.text, "Copy printer driver files To system Fail!");
    }
    EXPECT_EQ(seen.text, "Orlent 7140 Setup Fail!");
    EXPECT_EQ(seen.icon, BoxIcon::Error);
    ASSERT_TRUE(ExitLauncher(run));
    ExpectNothingRegistered();
}

TEST_F(Scenario, DriverFileHeldOpenFailsTheInstall) {
    std::string held = DriverDirectory(Expected().environment) + "\\Varores.dll";
    WriteFileText(held, "an older resource module");
    HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    SetupRun run(program(), m_medium.path());
    HWND wizard = OpenWizardAtPortPage(run);
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(Next(wizard));
    Click(wizard, IDC_BTN_NEXT);
    HWND progress = run.waitProgressBox();
    ASSERT_NE(progress, nullptr);
    MessageBoxSeen seen;
    std::vector<std::string> texts;
    while (run.acknowledge(&seen, 30000)) {
        texts.push_back(seen.text);
        if (seen.text == "Files access denied! Please exit running applications and reinstall!") {
            EXPECT_EQ(seen.icon, BoxIcon::Information);
            EXPECT_EQ(seen.owner, progress);
        }
        if (seen.text.find("Setup") != std::string::npos) {
            break;
        }
    }
    CloseHandle(lock);
    std::vector<std::string> expected = {
        "Files access denied! Please exit running applications and reinstall!",
        "Copy printer driver files To system Fail!", "Orlent 7140 Setup Fail!"};
    EXPECT_EQ(texts, expected);
    ASSERT_TRUE(ExitLauncher(run));
    ExpectNothingRegistered();
}

TEST_F(Scenario, StartedOutsideAMediumFailsCleanly) {
    TempFolder elsewhere;
    ASSERT_TRUE(CopyFileA(BuiltSetupExe().c_str(), (elsewhere / "Setup.exe").c_str(), FALSE));
    SetupRun run(elsewhere / "Setup.exe", elsewhere.path());
    HWND wizard = OpenWizardAtPortPage(run);
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(Next(wizard));
    Click(wizard, IDC_BTN_NEXT);
    ASSERT_NE(run.waitProgressBox(), nullptr);
    MessageBoxSeen seen;
    std::vector<std::string> texts;
    while (run.acknowledge(&seen, 30000)) {
        texts.push_back(seen.text);
        if (seen.text.find("Setup") != std::string::npos) {
            break;
        }
    }
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "Orlent 7140 Setup Fail!");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Copy printer driver files To system Fail!"),
              texts.end());
    ASSERT_TRUE(ExitLauncher(run));
    ExpectNothingRegistered();
}

TEST_F(Scenario, CloseBoxOnTheProgressBoxIsRefused) {
    SetupRun run(program(), m_medium.path());
    HWND wizard = OpenWizardAtPortPage(run);
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(Next(wizard));
    Click(wizard, IDC_BTN_NEXT);
    HWND progress = run.waitProgressBox();
    ASSERT_NE(progress, nullptr);
    PostMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND result = run.waitMessageBox(60000);
    ASSERT_NE(result, nullptr);
    // The worker still runs while its result message is open: closing must still be refused.
    PostMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    Sleep(500);
    EXPECT_TRUE(IsWindow(progress) && IsWindowVisible(progress)) << "progress box closed early";
    EXPECT_EQ(run.boxes().back().text, "Orlent 7140 Setup Complete!");
    Click(result, IDOK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(progress) || !IsWindowVisible(progress); }));
    ASSERT_TRUE(ExitLauncher(run));
    EXPECT_TRUE(HasPrinter(kModel));
}

TEST_F(Scenario, EnterOpensTheNotesAndEscapeEnds) {
    SetupRun run(program(), m_medium.path());
    HWND launcher = run.waitLauncher();
    ASSERT_NE(launcher, nullptr);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    ASSERT_TRUE(WaitFor([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(launcher, nullptr), &gui) &&
               gui.hwndFocus == GetDlgItem(launcher, IDC_BTN_NOTES);
    })) << "the notes button must have the focus";
    PressKey(gui.hwndFocus, VK_RETURN);
    HWND notepad = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        notepad = FindWindowA("Notepad", nullptr);
        return notepad != nullptr;
    })) << "the text editor did not start";
    EXPECT_NE(WindowText(notepad).find("Readme"), std::string::npos) << WindowText(notepad);
    PostMessageA(notepad, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(notepad); }));
    PressKey(GetDlgItem(launcher, IDC_BTN_NOTES), VK_ESCAPE);
    DWORD code = 1;
    ASSERT_TRUE(run.waitExit(&code));
    EXPECT_EQ(code, 0u);
}

TEST_F(Scenario, EnterOnTheDriverButtonOpensTheWizard) {
    SetupRun run(program(), m_medium.path());
    HWND launcher = run.waitLauncher();
    ASSERT_NE(launcher, nullptr);
    HWND driverButton = GetDlgItem(launcher, IDC_BTN_DRIVER);
    PostMessageA(launcher, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(driverButton), TRUE);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    ASSERT_TRUE(WaitFor([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(launcher, nullptr), &gui) &&
               gui.hwndFocus == driverButton;
    })) << "the driver button did not take the focus";
    PressKey(driverButton, VK_RETURN);
    HWND wizard = run.waitWizard();
    ASSERT_NE(wizard, nullptr) << "Enter on the driver button opened no wizard";
    EXPECT_EQ(WindowText(wizard), "Orlent Impact Printer Driver Setup Wizard");
    Click(wizard, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(wizard) || !IsWindowVisible(wizard); }));
    EXPECT_TRUE(run.boxes().empty());
    ASSERT_TRUE(ExitLauncher(run));
}
