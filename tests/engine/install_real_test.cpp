// The complete installation against Wine's real spooler and setup services, from the sample
// medium. Wine accepts far more than Windows does, so the stored records are checked too.
#include "engine/install.h"

#include <windows.h>

#include <winspool.h>

#include <cstring>

#include <gtest/gtest.h>

#include "engine/config.h"
#include "engine/platform.h"
#include "engine/state.h"
#include "tests/support/paths.h"

namespace {

struct Printer {
    std::string name, driver, port, processor, datatype;
};

std::vector<Printer> Printers() {
    std::vector<Printer> result;
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) {
        return result;
    }
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    auto s = [](const char* t) { return std::string(t ? t : ""); };
    for (DWORD i = 0; i < count; ++i) {
        result.push_back({s(info[i].pPrinterName), s(info[i].pDriverName), s(info[i].pPortName),
                          s(info[i].pPrintProcessor), s(info[i].pDatatype)});
    }
    return result;
}

std::string Environment() {
    return LoadConfigBuffer(SpoolerEnvironmentId(DetectPlatformClass())).get();
}

std::string DriverDirectory() {
    char dir[512] = "";
    DWORD needed = 0;
    std::string env = Environment();
    GetPrinterDriverDirectoryA(nullptr, env.data(), 1, reinterpret_cast<BYTE*>(dir), sizeof(dir),
                               &needed);
    return dir;
}

std::vector<DRIVER_INFO_3A> Drivers(std::vector<BYTE>& buffer) {
    DWORD needed = 0, count = 0;
    std::string env = Environment();
    EnumPrinterDriversA(nullptr, env.data(), 3, nullptr, 0, &needed, &count);
    buffer.assign(needed + 1, 0);
    if (!EnumPrinterDriversA(nullptr, env.data(), 3, buffer.data(), needed, &needed, &count)) {
        return {};
    }
    auto* info = reinterpret_cast<DRIVER_INFO_3A*>(buffer.data());
    return std::vector<DRIVER_INFO_3A>(info, info + count);
}

// An earlier test program in this prefix may have installed already.
void RemoveEarlierInstallations() {
    for (const auto& p : Printers()) {
        if (p.name.rfind("Orlent 7140", 0) == 0) {
            HANDLE h = nullptr;
            PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
            if (OpenPrinterA(const_cast<char*>(p.name.c_str()), &h, &access)) {
                DeletePrinter(h);
                ClosePrinter(h);
            }
        }
    }
    std::string env = Environment();
    std::vector<BYTE> buffer;
    for (const auto& d : Drivers(buffer)) {
        if (std::string(d.pName).rfind("Orlent 7140", 0) == 0) {
            DeletePrinterDriverA(nullptr, env.data(), d.pName);
        }
    }
}

std::string PlatformFolder() {
    return SampleMediumDir() + LoadConfigBuffer(DriverFolderId(DetectPlatformClass())).get();
}

// Files of the platform's folder, so that leftovers of earlier runs (read-only ones included)
// cannot stand in for what this run stages.
std::vector<std::string> PlatformFiles() {
    std::string folder = PlatformFolder();
    folder.pop_back(); // the configured folder name ends with a separator
    return FileNames(folder);
}

void RemoveStagedFiles() {
    std::string dir = DriverDirectory();
    for (const auto& name : PlatformFiles()) {
        std::string path = dir + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

bool EndsWith(const char* text, const std::string& tail) {
    std::string t = text ? text : "";
    return t.size() >= tail.size() &&
           lstrcmpiA(t.c_str() + t.size() - tail.size(), tail.c_str()) == 0;
}

// Names of a multi-string, without any folder the spooler put in front of them.
std::vector<std::string> FileNames(const char* multi) {
    std::vector<std::string> names;
    for (const char* p = multi; p && *p; p += strlen(p) + 1) {
        std::string name = p;
        names.push_back(name.substr(name.find_last_of('\\') + 1));
    }
    return names;
}

} // namespace

TEST(RealInstall, InstallsFromTheSampleMediumAndThenAddsACopy) {
    RemoveEarlierInstallations();
    RemoveStagedFiles();
    g_strPrinterModel = "Orlent 7140";
    g_strPrinterPort = "LPT1:";
    {
        CurrentDirectory medium(SampleMediumDir());
        ASSERT_EQ(InstallPrinter(), 1);
    }

    bool found = false;
    for (const auto& p : Printers()) {
        if (p.name == "Orlent 7140") {
            found = true;
            EXPECT_EQ(p.driver, "Orlent 7140");
            EXPECT_EQ(p.port, "LPT1:");
            EXPECT_EQ(p.processor, "winprint");
            EXPECT_EQ(p.datatype, "RAW");
        }
    }
    EXPECT_TRUE(found);
    std::vector<BYTE> buffer;
    bool driverFound = false;
    std::string dir = DriverDirectory();
    for (const auto& d : Drivers(buffer)) {
        if (std::string(d.pName) == "Orlent 7140") {
            driverFound = true;
            EXPECT_EQ(d.cVersion, 3u);
            EXPECT_TRUE(EndsWith(d.pDriverPath, "\\UNIDRV.DLL")) << d.pDriverPath;
            EXPECT_TRUE(EndsWith(d.pDataFile, "\\Varo31K.GPD")) << d.pDataFile;
            EXPECT_TRUE(EndsWith(d.pConfigFile, "\\UNIDRVUI.DLL")) << d.pConfigFile;
            EXPECT_TRUE(EndsWith(d.pHelpFile, "\\UNIDRV.HLP")) << d.pHelpFile;
            std::vector<std::string> dependent = FileNames(d.pDependentFiles);
            std::vector<std::string> expected = {"Varores.dll", "STDNAMES.GPD", "UNIRES.DLL"};
            if (DetectPlatformClass() >= 3) {
                expected.insert(expected.end(), {"STDDTYPE.GDL", "STDSCHEM.GDL", "STDSCHMX.GDL"});
            }
            EXPECT_EQ(dependent, expected);
            EXPECT_STRCASEEQ(d.pDefaultDataType ? d.pDefaultDataType : "", "RAW");
        }
    }
    EXPECT_TRUE(driverFound);
    char name[256] = "";
    DWORD size = sizeof(name);
    ASSERT_TRUE(GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(name, "Orlent 7140");

    std::string folder = PlatformFolder();
    ASSERT_FALSE(PlatformFiles().empty());
    for (const auto& name : PlatformFiles()) {
        std::string staged = ReadFileText(dir + "\\" + name);
        EXPECT_FALSE(staged.empty()) << name;
        EXPECT_EQ(staged, ReadFileText(folder + name)) << name;
    }
    DWORD attributes = GetFileAttributesA((dir + "\\UNIDRV.DLL").c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    EXPECT_EQ(ReadFileText(std::string(windows) + "\\system32\\srclient.dll"),
              ReadFileText(folder + "srclient.dll"));
    EXPECT_NE(ReadFileText(std::string(windows) + "\\inf\\Varo31K.inf").find("Class=Printer"),
              std::string::npos)
        << "setup-information file registered";

    {
        CurrentDirectory medium(SampleMediumDir());
        ASSERT_EQ(InstallPrinter(), 1);
    }
    bool copy = false;
    for (const auto& p : Printers()) {
        if (p.name == "Orlent 7140 (Copy 1)") {
            copy = true;
            EXPECT_EQ(p.driver, "Orlent 7140");
        }
    }
    EXPECT_TRUE(copy);
    size = sizeof(name);
    ASSERT_TRUE(GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(name, "Orlent 7140 (Copy 1)");
    RemoveEarlierInstallations();
}
