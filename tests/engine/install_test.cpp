// Registration and the install sequence with the spooler faked: the exact records passed, the
// messages shown, the progress reported, and the outcome of every refused call.
#include "engine/install.h"
#include "engine/registration.h"

#include <gtest/gtest.h>

#include "engine/folder_copy.h"
#include "engine/state.h"
#include "tests/support/fake_services.h"
#include "tests/support/paths.h"
#include "tests/support/progress_window.h"

namespace {

using Files = std::vector<std::string>;
const char* const kDir = "C:\\fake\\drivers";

// A system of the chosen family and processor, with a faked spooler.
class SystemFake : public FakeServices {
public:
    DWORD platform = VER_PLATFORM_WIN32_NT;
    DWORD major = 6;
    WORD architecture = PROCESSOR_ARCHITECTURE_AMD64;

    BOOL getVersionEx(OSVERSIONINFOA* info) override {
        info->dwPlatformId = platform;
        info->dwMajorVersion = major;
        return TRUE;
    }
    bool getNativeSystemInfo(SYSTEM_INFO* info) override {
        info->wProcessorArchitecture = architecture;
        return true;
    }
};

class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        m_services.fakeSpooler = true;
        g_strPrinterModel = "Orlent 7140";
        g_strPrinterPort = "LPT1:";
    }
    void TearDown() override {
        g_strPrinterModel.clear();
        g_strPrinterPort.clear();
    }
    SystemFake m_services;
    ScopedServices m_scope{m_services};
};

class Registration : public Selection {};

struct Level6Case {
    unsigned platformClass;
    WORD architecture;
    const char* environment;
    Files dependentFiles;
};

class Level6 : public Registration, public ::testing::WithParamInterface<Level6Case> {};

} // namespace

TEST_P(Level6, DriverAndPrinterRecordsHoldExactlyTheConfiguredValues) {
    const Level6Case& c = GetParam();
    m_services.architecture = c.architecture;
    ProgressWindow progress;
    ASSERT_NE(RegisterDriverAndPrinter("Orlent 7140", c.platformClass), 0);

    ASSERT_EQ(m_services.drivers.size(), 1u);
    const RecordedDriver& d = m_services.drivers[0];
    EXPECT_EQ(d.level, 6u);
    EXPECT_EQ(d.version, 3u);
    EXPECT_EQ(d.name, "Orlent 7140");
    EXPECT_EQ(d.environment, c.environment);
    EXPECT_EQ(d.driverPath, std::string(kDir) + "\\UNIDRV.DLL");
    EXPECT_EQ(d.dataFile, std::string(kDir) + "\\Varo31K.GPD");
    EXPECT_EQ(d.configFile, std::string(kDir) + "\\UNIDRVUI.DLL");
    EXPECT_EQ(d.helpFile, std::string(kDir) + "\\UNIDRV.HLP");
    EXPECT_EQ(d.dependentFiles, c.dependentFiles);
    EXPECT_FALSE(d.hasMonitor);
    EXPECT_EQ(d.defaultDataType, "RAW");
    EXPECT_EQ(d.manufacturer, "Orlent");
    EXPECT_EQ(m_services.calls[0],
              std::string("getPrinterDriverDirectory(") + c.environment + ",512)");

    ASSERT_EQ(m_services.printers.size(), 1u);
    const RecordedPrinter& p = m_services.printers[0];
    EXPECT_EQ(p.printerName, "Orlent 7140");
    EXPECT_EQ(p.portName, "LPT1:");
    EXPECT_EQ(p.driverName, "Orlent 7140");
    EXPECT_EQ(p.printProcessor, "winprint");
    EXPECT_EQ(p.datatype, "RAW");
    EXPECT_EQ(p.attributes, 0x40u);
    EXPECT_EQ(m_services.count("closePrinter"), 1);
    EXPECT_EQ(progress.position(), 80);
    EXPECT_EQ(progress.field(), "80%");
    EXPECT_TRUE(m_services.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Classes, Level6,
    ::testing::Values(Level6Case{1,
                                 PROCESSOR_ARCHITECTURE_INTEL,
                                 "Windows NT x86",
                                 {"Varores.dll", "STDNAMES.GPD", "UNIRES.DLL"}},
                      Level6Case{2,
                                 PROCESSOR_ARCHITECTURE_AMD64,
                                 "Windows x64",
                                 {"Varores.dll", "STDNAMES.GPD", "UNIRES.DLL"}},
                      Level6Case{3,
                                 PROCESSOR_ARCHITECTURE_INTEL,
                                 "Windows NT x86",
                                 {"Varores.dll", "STDNAMES.GPD", "UNIRES.DLL", "STDDTYPE.GDL",
                                  "STDSCHEM.GDL", "STDSCHMX.GDL"}},
                      Level6Case{4,
                                 PROCESSOR_ARCHITECTURE_IA64,
                                 "Windows x64",
                                 {"Varores.dll", "STDNAMES.GPD", "UNIRES.DLL", "STDDTYPE.GDL",
                                  "STDSCHEM.GDL", "STDSCHMX.GDL"}}));

TEST_F(Registration, DependentFilesAreZeroTerminatedAndEndWithAnEmptyOne) {
    ASSERT_NE(RegisterDriverAndPrinter("Orlent 7140", 1), 0);
    const std::vector<char>& bytes = m_services.drivers[0].dependentBytes;
    std::string expected("Varores.dll\0STDNAMES.GPD\0UNIRES.DLL\0\0", 38);
    ASSERT_EQ(bytes.size(), 260u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 38), expected);
}

TEST_F(Registration, CopySuffixNamesTheDriverButNotThePrintersDriver) {
    ASSERT_NE(RegisterDriverAndPrinter("Orlent 7140 (Copy 1)", 4), 0);
    EXPECT_EQ(m_services.drivers[0].name, "Orlent 7140 (Copy 1)");
    EXPECT_EQ(m_services.printers[0].printerName, "Orlent 7140 (Copy 1)");
    EXPECT_EQ(m_services.printers[0].driverName, "Orlent 7140");
}

TEST_F(Registration, NineXFamilyUsesLevel3WithTheModelsDriverFile) {
    m_services.architecture = PROCESSOR_ARCHITECTURE_INTEL;
    ASSERT_NE(RegisterDriverAndPrinter("Orlent 7140", 0), 0);
    const RecordedDriver& d = m_services.drivers[0];
    std::string path = std::string(kDir) + "\\Varo31K.drv";
    EXPECT_EQ(d.level, 3u);
    EXPECT_EQ(d.version, 0u);
    EXPECT_EQ(d.environment, "Windows 4.0");
    EXPECT_EQ(d.driverPath, path);
    EXPECT_EQ(d.dataFile, path);
    EXPECT_EQ(d.configFile, path);
    EXPECT_FALSE(d.hasHelpFile);
    EXPECT_FALSE(d.hasManufacturer);
    EXPECT_EQ(d.dependentFiles, Files({"Varo31K.drv", "Unidrv.dll", "Iconlib.dll", "Varo31K.drv"}));
    EXPECT_EQ(d.defaultDataType, "RAW");
}

TEST_F(Registration, RefusedNineXDriverStillAddsThePrinter) {
    m_services.architecture = PROCESSOR_ARCHITECTURE_INTEL;
    m_services.refuse("addPrinterDriver", ERROR_ACCESS_DENIED);
    ProgressWindow progress;
    EXPECT_NE(RegisterDriverAndPrinter("Orlent 7140", 0), 0);
    EXPECT_EQ(m_services.printers.size(), 1u);
    EXPECT_EQ(progress.position(), 80);
}

TEST_F(Registration, RefusedNtDriverEndsBeforeTheSixtyPerCentReport) {
    m_services.refuse("addPrinterDriver", ERROR_ACCESS_DENIED);
    ProgressWindow progress;
    EXPECT_EQ(RegisterDriverAndPrinter("Orlent 7140", 4), 0);
    EXPECT_TRUE(m_services.printers.empty());
    EXPECT_EQ(progress.position(), 0);
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Registration, RefusedPrinterFailsAfterSixty) {
    m_services.refuse("addPrinter", ERROR_INVALID_PRINTER_NAME);
    ProgressWindow progress;
    EXPECT_EQ(RegisterDriverAndPrinter("Orlent 7140", 4), 0);
    EXPECT_EQ(progress.position(), 60);
    EXPECT_EQ(m_services.count("closePrinter"), 0);
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Registration, MissingDriverDirectoryIsTold) {
    m_services.refuse("getPrinterDriverDirectory", ERROR_INVALID_ENVIRONMENT);
    EXPECT_EQ(RegisterDriverAndPrinter("Orlent 7140", 4), 0);
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_EQ(m_services.messages[0].owner, nullptr);
    EXPECT_EQ(m_services.messages[0].text, "Can't find the current Path!");
    EXPECT_EQ(m_services.messages[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(m_services.drivers.empty());
}

TEST_F(Registration, ModelWithoutAFileRegistersNothing) {
    g_strPrinterModel = "Orlent 9999";
    EXPECT_EQ(RegisterDriverAndPrinter("Orlent 9999", 4), 0);
    EXPECT_TRUE(m_services.drivers.empty());
    EXPECT_TRUE(m_services.printers.empty());
}

TEST_F(Registration, OverLongDriverDirectoryRegistersNothing) {
    m_services.driverDirectory = "C:\\" + std::string(500, 'd');
    EXPECT_EQ(RegisterDriverAndPrinter("Orlent 7140", 4), 0);
    EXPECT_TRUE(m_services.drivers.empty());
}

// The whole sequence, staging on real files from a medium copy into a temp driver directory.
class Sequence : public Selection {
protected:
    void SetUp() override {
        Selection::SetUp();
        CopyTree(SampleMediumDir(), m_medium.path());
        m_services.driverDirectory = m_target.path();
        m_cwd = std::make_unique<CurrentDirectory>(m_medium.path());
    }
    std::vector<std::string> opens() const {
        std::vector<std::string> names;
        for (const auto& call : m_services.calls) {
            if (call.rfind("openPrinter(", 0) == 0) {
                names.push_back(call.substr(12, call.size() - 13));
            }
        }
        return names;
    }
    TempFolder m_medium, m_target;
    std::unique_ptr<CurrentDirectory> m_cwd;
};

TEST_F(Sequence, FreeModelNameIsTakenAfterOneOpenThenEveryStepIsReportedInTurn) {
    ProgressWindow progress(&m_services.calls);
    EXPECT_EQ(InstallPrinter(), 1);
    // 100 is the worker's report.
    EXPECT_EQ(m_services.callsOf({"openPrinter", "bar", "field"}),
              Files({"openPrinter(Orlent 7140)", "bar 10", "field 10%", "bar 20", "field 20%",
                     "bar 60", "field 60%", "bar 80", "field 80%"}));
    EXPECT_EQ(m_services.printers.at(0).printerName, "Orlent 7140");
    EXPECT_EQ(m_services.defaultPrinter, "Orlent 7140");
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Sequence, TakenNamesGetTheNextCopySuffix) {
    m_services.existingPrinters = {"Orlent 7140", "Orlent 7140 (Copy 1)"};
    EXPECT_EQ(InstallPrinter(), 1);
    EXPECT_EQ(opens(), Files({"Orlent 7140", "Orlent 7140 (Copy 1)", "Orlent 7140 (Copy 2)"}));
    EXPECT_EQ(m_services.count("closePrinter"), 3) << "two from the search, one after adding";
    EXPECT_EQ(m_services.printers.at(0).printerName, "Orlent 7140 (Copy 2)");
    EXPECT_EQ(m_services.defaultPrinter, "Orlent 7140 (Copy 2)");
}

TEST_F(Sequence, SearchStopsAtTheFirstFreeName) {
    m_services.existingPrinters = {"Orlent 7140 (Copy 1)"};
    EXPECT_EQ(InstallPrinter(), 1);
    EXPECT_EQ(opens(), Files({"Orlent 7140"}));
}

TEST_F(Sequence, SyntaxErrorInTheSetupFileFailsWithoutAMessageOfItsOwn) {
    m_services.refuse("copyOemInf", 0xE0000003);
    ProgressWindow progress;
    EXPECT_EQ(InstallPrinter(), 0);
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_EQ(m_services.messages[0].text, "Copy inf to sysinfdir fail! ");
    EXPECT_TRUE(m_services.drivers.empty());
    EXPECT_EQ(m_services.defaultPrinter, "");
    EXPECT_EQ(progress.position(), 10);
}

TEST_F(Sequence, OtherStagingFailureIsToldWithTheInformationIcon) {
    m_services.refuse("copyOemInf", 0xE0000100);
    ProgressWindow progress;
    EXPECT_EQ(InstallPrinter(), 0);
    ASSERT_EQ(m_services.messages.size(), 2u);
    EXPECT_EQ(m_services.messages[1].owner, progress.box());
    EXPECT_EQ(m_services.messages[1].caption, "INFO");
    EXPECT_EQ(m_services.messages[1].text, "Copy printer driver files To system Fail!");
    EXPECT_EQ(m_services.messages[1].type, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(progress.position(), 10) << "10 is reported in every run";
}

TEST_F(Sequence, RegistrationFailureIsToldOnceWithTheErrorIcon) {
    m_services.refuse("addPrinter", ERROR_INVALID_PRINTER_NAME);
    ProgressWindow progress;
    EXPECT_EQ(InstallPrinter(), 0);
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_EQ(m_services.messages[0].owner, progress.box());
    EXPECT_EQ(m_services.messages[0].text, "Add printer to system fail!");
    EXPECT_EQ(m_services.messages[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(m_services.defaultPrinter, "");
}

TEST_F(Sequence, NineXFamilyWritesTheProfileEntryAndBroadcastsTwice) {
    m_services.platform = VER_PLATFORM_WIN32_WINDOWS;
    m_services.major = 4;
    m_services.architecture = PROCESSOR_ARCHITECTURE_INTEL;
    m_services.existingPrinters = {"Orlent 7140"};
    ASSERT_TRUE(MoveFileA((m_medium / "Win98 & ME").c_str(), (m_medium / "kept").c_str()));
    CopyTree(m_medium / "kept", m_medium / "Win98 & ME");
    EXPECT_EQ(InstallPrinter(), 1);
    std::string broadcast = std::to_string(reinterpret_cast<UINT_PTR>(HWND_BROADCAST)) + "," +
                            std::to_string(WM_WININICHANGE) + ",windows";
    EXPECT_EQ(
        m_services.callsOf({"write", "send", "setDefault"}),
        Files({"writeProfileString(Windows,Device,Orlent 7140 (Copy 1),Orlent 7140,LPT1:)",
               "sendNotifyMessage(" + broadcast + ")",
               "sendMessageTimeout(" + broadcast + "," + std::to_string(SMTO_NORMAL) + ",1000)"}));
}

TEST(ProgressReport, MovesTheBarBeforeSettingTheField) {
    ProgressWindow progress;
    ReportProgress(ProgressStep::DriverAdded);
    EXPECT_EQ(progress.log(), Files({"bar 60", "field 60%"}));
}

TEST(ProgressReport, WithoutAProgressBoxLeavesEvenTheLastErrorAlone) {
    g_hProcessBox = nullptr;
    g_hProgressBar = nullptr;
    SetLastError(ERROR_INVALID_ENVIRONMENT);
    ReportProgress(ProgressStep::Started);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));
}

namespace {

// One refused call and everything the user and the worker see afterwards.
struct Expected {
    bool ownedByBox;
    const char* text;
    UINT icon;
};

struct RefusalCase {
    const char* name;
    const char* operation;
    DWORD error;
    int after; // calls of that operation let through first
    std::vector<Expected> messages;
    int progress;
    int result;
};

const char* const kNoPath = "Can't find the current Path!";
const char* const kStaging = "Copy printer driver files To system Fail!";
const char* const kRegistration = "Add printer to system fail!";
const char* const kInf = "Copy inf to sysinfdir fail! ";

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedCall : public Sequence, public ::testing::WithParamInterface<RefusalCase> {};

} // namespace

TEST_P(RefusedCall, GivesTheMessagesProgressAndResultOfItsFailure) {
    const RefusalCase& c = GetParam();
    m_services.refuse(c.operation, c.error, 0, c.after);
    ProgressWindow progress;
    EXPECT_EQ(InstallPrinter(), c.result);
    ASSERT_EQ(m_services.messages.size(), c.messages.size());
    for (size_t i = 0; i < c.messages.size(); ++i) {
        const RecordedMessage& m = m_services.messages[i];
        EXPECT_EQ(m.owner, c.messages[i].ownedByBox ? progress.box() : nullptr) << i;
        EXPECT_EQ(m.caption, "INFO") << i;
        EXPECT_EQ(m.text, c.messages[i].text) << i;
        EXPECT_EQ(m.type, c.messages[i].icon) << i;
    }
    EXPECT_EQ(progress.position(), c.progress);
    EXPECT_EQ(progress.field(), std::to_string(c.progress) + "%");
    EXPECT_EQ(m_services.count("setDefaultPrinter(Orlent 7140)"), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    EachCall, RefusedCall,
    ::testing::Values(
        RefusalCase{"StagingDirectory",
                    "getPrinterDriverDirectory",
                    ERROR_INVALID_ENVIRONMENT,
                    0,
                    {{false, kNoPath, MB_ICONERROR}, {true, kStaging, MB_ICONINFORMATION}},
                    20,
                    0},
        RefusalCase{"RegistrationDirectory",
                    "getPrinterDriverDirectory",
                    ERROR_INVALID_ENVIRONMENT,
                    1,
                    {{false, kNoPath, MB_ICONERROR}, {true, kRegistration, MB_ICONERROR}},
                    20,
                    0},
        RefusalCase{"FileCopyOtherThanAccess",
                    "copyFile",
                    ERROR_DISK_FULL,
                    0,
                    {{true, kStaging, MB_ICONINFORMATION}},
                    10,
                    0},
        RefusalCase{"SetupInformationFile",
                    "copyOemInf",
                    0xE0000100,
                    0,
                    {{false, kInf, MB_ICONERROR}, {true, kStaging, MB_ICONINFORMATION}},
                    10,
                    0},
        RefusalCase{"SetupInformationSyntax",
                    "copyOemInf",
                    0xE0000003,
                    0,
                    {{false, kInf, MB_ICONERROR}},
                    10,
                    0},
        RefusalCase{"Driver",
                    "addPrinterDriver",
                    ERROR_ACCESS_DENIED,
                    0,
                    {{true, kRegistration, MB_ICONERROR}},
                    20,
                    0},
        RefusalCase{"Printer",
                    "addPrinter",
                    ERROR_INVALID_PRINTER_NAME,
                    0,
                    {{true, kRegistration, MB_ICONERROR}},
                    60,
                    0},
        RefusalCase{"OpenDuringTheNameSearch", "openPrinter", ERROR_ACCESS_DENIED, 0, {}, 80, 1},
        RefusalCase{"DefaultPrinter", "setDefaultPrinter", ERROR_ACCESS_DENIED, 0, {}, 80, 1}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST_F(Sequence, FileCopyRefusedForAccessTellsOncePerFileAndFails) {
    // Every replacement that fails for access shows its own message, owned by the progress box.
    m_services.replaceHook = [](const std::string&, const std::string& to, DWORD* error) {
        *error = ERROR_ACCESS_DENIED;
        return to.find("Varores.dll") == std::string::npos;
    };
    WriteFileText(m_target / "Varores.dll", "an older resource module");
    ProgressWindow progress;
    EXPECT_EQ(InstallPrinter(), 0);
    ASSERT_EQ(m_services.messages.size(), 2u);
    EXPECT_EQ(m_services.messages[0].owner, progress.box());
    EXPECT_EQ(m_services.messages[0].text,
              "Files access denied! Please exit running applications and reinstall!");
    EXPECT_EQ(m_services.messages[1].text, kStaging);
    EXPECT_EQ(m_services.count("replaceFile(" + m_target.path() + "\\" + TemporaryCopyName() + "," +
                               m_target.path() + "\\Varores.dll)"),
              2)
        << "one replacement and one retry";
}

namespace {

struct ClassCase {
    const char* name;
    DWORD platform, major;
    WORD architecture;
    const char* folder;
    const char* environment;
    size_t dependentFiles;
};

void PrintTo(const ClassCase& c, std::ostream* os) {
    *os << c.name;
}

class EveryClass : public Sequence, public ::testing::WithParamInterface<ClassCase> {};

} // namespace

// The whole sequence for each family and processor: folder, environment, record level and the
// default-printer path. Classes 0 to 3 cannot run for real on a 64-bit-only machine.
TEST_P(EveryClass, StagesTheRightFolderAndRegistersForItsEnvironment) {
    const ClassCase& c = GetParam();
    m_services.platform = c.platform;
    m_services.major = c.major;
    m_services.architecture = c.architecture;
    ProgressWindow progress;
    ASSERT_EQ(InstallPrinter(), 1);

    std::string folder = m_medium.path() + c.folder;
    EXPECT_EQ(m_services.count(std::string("getPrinterDriverDirectory(") + c.environment + ",512)"),
              2)
        << "staging and registration";
    EXPECT_EQ(m_services.count("copyOemInf(" + folder + "Varo31K.inf," + folder + ")"), 1);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int files = 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++files;
            EXPECT_EQ(ReadFileText(m_target / entry.cFileName),
                      ReadFileText(folder + entry.cFileName))
                << entry.cFileName;
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    EXPECT_GT(files, 0);

    ASSERT_EQ(m_services.drivers.size(), 1u);
    EXPECT_EQ(m_services.drivers[0].level, c.platform == VER_PLATFORM_WIN32_NT ? 6u : 3u);
    EXPECT_EQ(m_services.drivers[0].environment, c.environment);
    EXPECT_EQ(m_services.drivers[0].dependentFiles.size(), c.dependentFiles);
    EXPECT_EQ(m_services.count("setDefaultPrinter(Orlent 7140)"),
              c.platform == VER_PLATFORM_WIN32_NT ? 1 : 0);
    EXPECT_EQ(m_services.count("writeProfileString(Windows,Device,Orlent 7140,Orlent 7140,LPT1:)"),
              c.platform == VER_PLATFORM_WIN32_NT ? 0 : 1);
    EXPECT_EQ(progress.position(), 80);
    EXPECT_TRUE(m_services.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Classes, EveryClass,
    ::testing::Values(ClassCase{"Class0", VER_PLATFORM_WIN32_WINDOWS, 4,
                                PROCESSOR_ARCHITECTURE_INTEL, "\\Win98 & ME\\", "Windows 4.0", 4},
                      ClassCase{"Class1", VER_PLATFORM_WIN32_NT, 5, PROCESSOR_ARCHITECTURE_INTEL,
                                "\\Win2K & XP & 2003\\", "Windows NT x86", 3},
                      ClassCase{"Class2", VER_PLATFORM_WIN32_NT, 5, PROCESSOR_ARCHITECTURE_AMD64,
                                "\\Win7_XP64\\", "Windows x64", 3},
                      ClassCase{"Class3", VER_PLATFORM_WIN32_NT, 6, PROCESSOR_ARCHITECTURE_INTEL,
                                "\\Vista & Win7 & Win8\\", "Windows NT x86", 6},
                      ClassCase{"Class4", VER_PLATFORM_WIN32_NT, 6, PROCESSOR_ARCHITECTURE_AMD64,
                                "\\Win7_XP64\\", "Windows x64", 6}),
    [](const ::testing::TestParamInfo<ClassCase>& info) { return info.param.name; });
