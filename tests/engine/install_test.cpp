// Registration and the install sequence with the spooler faked: the exact records passed, the
// messages shown, the progress reported, and the outcome of every refused call.
#include "engine/install.h"
#include "engine/registration.h"

#include <gtest/gtest.h>

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

TEST_F(Sequence, FreeModelNameIsTakenAfterOneOpen) {
    ProgressWindow progress;
    EXPECT_EQ(InstallPrinter(), 1);
    EXPECT_EQ(opens(), Files({"Orlent 7140"}));
    EXPECT_EQ(m_services.printers.at(0).printerName, "Orlent 7140");
    EXPECT_EQ(m_services.defaultPrinter, "Orlent 7140");
    EXPECT_TRUE(m_services.messages.empty());
    EXPECT_EQ(progress.position(), 80) << "100 is the worker's report";
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
    std::vector<std::string> tail;
    for (const auto& call : m_services.calls) {
        if (call.rfind("write", 0) == 0 || call.rfind("send", 0) == 0 ||
            call.rfind("setDefault", 0) == 0) {
            tail.push_back(call);
        }
    }
    std::string broadcast = std::to_string(reinterpret_cast<UINT_PTR>(HWND_BROADCAST)) + "," +
                            std::to_string(WM_WININICHANGE) + ",windows";
    EXPECT_EQ(
        tail,
        Files({"writeProfileString(Windows,Device,Orlent 7140 (Copy 1),Orlent 7140,LPT1:)",
               "sendNotifyMessage(" + broadcast + ")",
               "sendMessageTimeout(" + broadcast + "," + std::to_string(SMTO_NORMAL) + ",1000)"}));
}

TEST(ProgressReport, WithoutAProgressBoxNothingHappens) {
    g_hProcessBox = nullptr;
    g_hProgressBar = nullptr;
    ReportProgress(10, "10%"); // must simply return
    SUCCEED();
}
