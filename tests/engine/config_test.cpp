#include "engine/config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "res/strings.h"
#include "tests/support/paths.h"

namespace {

// Entries of the test program's own extra string table (config_test.rc).
constexpr UINT kText259 = 60000;
constexpr UINT kText260 = 60001;

// The delivered table, as the product documents it; entry 54 is checked on its own.
const std::pair<UINT, const char*> kDeliveredTable[] = {
    {1, "{4d36e979-e325-11ce-bfc1-08002be10318}"},
    {2, "Orlent"},
    {3, "PJL Language Monitor"},
    {5, "winprint"},
    {6, "printer"},
    {8, "RAW"},
    {9, "EMF"},
    {20, "\\Vista & Win7 & Win8\\"},
    {21, "\\Win2K & XP & 2003\\"},
    {22, "\\Win98 & ME\\"},
    {23, "\\Win7_XP64\\"},
    {24, "Windows NT x86"},
    {25, "Windows 4.0"},
    {26, "Windows x64"},
    {40, "Orlent Impact Printer Driver"},
    {41, "V5.1"},
    {42, "ReadMe"},
    {43, "Driver"},
    {44, "Cancel"},
    {45, "Readme.txt"},
    {46, "agreement.txt"},
    {47, "Orlent Impact Printer Driver Setup Wizard"},
    {48, "Welcome to use Orlent Impact Printer Driver setup wizard"},
    {49, "<Back"},
    {50, "Next>"},
    {51, "Cancel"},
    {52, "Accept"},
    {53, "Decline"},
    {100, "Varo31K.inf"},
    {101, "UNIDRV.DLL"},
    {102, "Orlent 7140:Varo31K.GPD;"},
    {103, "UNIDRVUI.DLL"},
    {104, "Iconlib.dll"},
    {105, "UNIDRV.HLP"},
    {106, "Orlent 7140:Varo31K.drv;"},
    {107, "srclient.dll"},
    {108, "Varores.dll"},
    {109, "STDNAMES.GPD"},
    {110, "UNIRES.DLL"},
    {111, "STDDTYPE.GDL"},
    {112, "STDSCHEM.GDL"},
    {113, "STDSCHMX.GDL"},
    {150, "Times New Roman"},
    {200, " (Copy %d)"},
    {210, "Orlent 7140;"},
    {211, "Varo31K.drv;Unidrv.dll;Iconlib.dll;"},
    {212, "Varores.dll;STDNAMES.GPD;UNIRES.DLL;"},
    {213, "Varores.dll;STDNAMES.GPD;UNIRES.DLL;STDDTYPE.GDL;STDSCHEM.GDL;STDSCHMX.GDL;"},
    {251, "INFO"},
    {252, "Can't find the current Path!"},
    {253, "Copy printer driver files To system Fail!"},
    {254, "Add printer to system fail!"},
    {256, "Files access denied! Please exit running applications and reinstall!"},
    {257, "Please select the printer model and port before setup go on!"},
    {258, "EnumPort fail!"},
    {259, "Can't find the deviceport list!"},
    {262, "Copy inf to sysinfdir fail! "},
    {263, " Setup Complete!"},
    {264, " Setup Fail!"},
    {300, "UNIDRV.DLL;UNIDRVUI.DLL;UNIDRV.HLP;UNIRES.DLL;Iconlib.dll;srclient.dll;STDNAMES.GPD;"
          "STDDTYPE.GDL;STDSCHEM.GDL;STDSCHMX.GDL;"},
    {301, "Setup [/S] [/model=NAME] [/port=NAME] [/log=PATH]\n\n/S or /quiet\tinstall with no "
          "window at all\n/model=NAME\tthe printer model (default: the first of the "
          "list)\n/port=NAME\ta port the print spooler reports (default: LPT1:)\n/log=PATH\tappend "
          "a log of the installation to this file\n/?\t\tthis list\n\nExit codes with /S: 0 "
          "installed, 1603 failed, 1618 another installation runs, 87 invalid command line."},
    {310, "Setup is already running, but its window cannot be found. Please finish that setup "
          "first, then start Setup again."},
    {311, "The setup progress window cannot be opened. Nothing was installed."},
};

// Reads an entry from a module's string table as 8-bit text; the empty text when it is missing.
std::string ReadString(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0) {
        return std::string();
    }
    std::string out(static_cast<size_t>(length) * 2, '\0');
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, out.data(),
                                    static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(bytes > 0 ? static_cast<size_t>(bytes) : 0);
    return out;
}

class BuiltProgram : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryExA(BuiltSetupExe().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(m_module, nullptr) << BuiltSetupExe() << " error " << GetLastError();
    }
    void TearDown() override {
        if (m_module) {
            FreeLibrary(m_module);
        }
    }
    HMODULE m_module = nullptr;
};

} // namespace

TEST_F(BuiltProgram, StringTableHoldsEveryDeliveredValueExactly) {
    for (const auto& [id, expected] : kDeliveredTable) {
        EXPECT_EQ(ReadString(m_module, id), expected) << "string " << id;
    }
    std::string url = ReadString(m_module, IDS_MAKER_URL);
    EXPECT_EQ(url.rfind("https://www.example.com/", 0), 0u) << url;
}

TEST_F(BuiltProgram, StringTableHasNoOtherEntries) {
    for (UINT id = 0; id < 400; ++id) {
        bool listed = id == IDS_MAKER_URL;
        for (const auto& entry : kDeliveredTable) {
            listed = listed || entry.first == id;
        }
        if (!listed) {
            EXPECT_EQ(ReadString(m_module, id), "") << "unexpected string " << id;
        }
    }
}

TEST_F(BuiltProgram, StringTableIsEnglishOnly) {
    // Block 1 holds identifiers 0 to 15; only the US English variant may exist.
    EXPECT_NE(FindResourceExA(m_module, RT_STRING, MAKEINTRESOURCEA(1),
                              MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
              nullptr);
    EXPECT_EQ(FindResourceExA(m_module, RT_STRING, MAKEINTRESOURCEA(1),
                              MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)),
              nullptr);
}

TEST(LoadConfigBuffer, HoldsTheEntryInAZeroFilled260ByteBuffer) {
    auto buffer = LoadConfigBuffer(IDS_FOLDER_WIN98_ME);
    ASSERT_TRUE(buffer);
    EXPECT_STREQ(buffer.get(), "\\Win98 & ME\\");
    for (size_t i = std::strlen(buffer.get()); i < kConfigBufferSize; ++i) {
        ASSERT_EQ(buffer[i], '\0') << i;
    }
}

TEST(LoadConfigBuffer, CutsTextsAt259Bytes) {
    auto fits = LoadConfigBuffer(kText259);
    ASSERT_TRUE(fits);
    EXPECT_EQ(std::string(fits.get()), std::string(258, 'a') + "z");

    auto cut = LoadConfigBuffer(kText260);
    ASSERT_TRUE(cut);
    EXPECT_EQ(std::string(cut.get()), std::string(259, 'b'));
    EXPECT_EQ(cut[kConfigBufferSize - 1], '\0');
}

TEST(LoadConfigBuffer, MissingEntryGivesTheEmptyText) {
    auto buffer = LoadConfigBuffer(7);
    ASSERT_TRUE(buffer);
    EXPECT_STREQ(buffer.get(), "");
}

TEST(LoadConfigString, ReadsWholeEntriesWithTheirBlanks) {
    std::string text;
    EXPECT_TRUE(LoadConfigString(IDS_MSG_INF_COPY_FAILED, text));
    EXPECT_EQ(text, "Copy inf to sysinfdir fail! ");
    EXPECT_TRUE(LoadConfigString(IDS_MSG_SETUP_FAIL, text));
    EXPECT_EQ(text, " Setup Fail!");
    EXPECT_TRUE(LoadConfigString(kText260, text));
    EXPECT_EQ(text.size(), 260u);
}

TEST(LoadConfigString, FindsEveryEntryAtItsPlaceInItsBlockAndNoOther) {
    // Every position in a block (0 to 15), blocks with gaps, and blocks the table does not have.
    for (UINT id = 0; id < 400; ++id) {
        if (id == IDS_MAKER_URL) {
            continue;
        }
        const char* expected = nullptr;
        for (const auto& [listed, value] : kDeliveredTable) {
            expected = listed == id ? value : expected;
        }
        std::string text = "unchanged";
        if (expected == nullptr) {
            EXPECT_FALSE(LoadConfigString(id, text)) << "string " << id;
            EXPECT_EQ(text, "unchanged") << "string " << id;
            EXPECT_STREQ(LoadConfigBuffer(id).get(), "") << "string " << id;
        } else {
            EXPECT_TRUE(LoadConfigString(id, text)) << "string " << id;
            EXPECT_EQ(text, expected) << "string " << id;
            // The fixed buffer holds a long entry (the usage text) cut to its size.
            EXPECT_EQ(LoadConfigBuffer(id).get(),
                      std::string(expected).substr(0, kConfigBufferSize - 1))
                << "string " << id;
        }
    }
}

TEST(LoadConfigString, MissingEntryLeavesTheTargetUnchanged) {
    std::string text = "fallback";
    EXPECT_FALSE(LoadConfigString(7, text));
    EXPECT_EQ(text, "fallback");
    std::string empty;
    EXPECT_FALSE(LoadConfigString(255, empty));
    EXPECT_EQ(empty, "");
}

TEST(SplitConfigList, TakesItemsThatASemicolonEnds) {
    using List = std::vector<std::string>;
    EXPECT_EQ(SplitConfigList("Orlent 7140;"), List({"Orlent 7140"}));
    EXPECT_EQ(SplitConfigList("A;B"), List({"A"}));
    EXPECT_EQ(SplitConfigList(""), List());
    EXPECT_EQ(SplitConfigList("no separator"), List());
    EXPECT_EQ(SplitConfigList("A;;B;"), List({"A", "", "B"}));
    EXPECT_EQ(SplitConfigList(";"), List({""}));
    EXPECT_EQ(SplitConfigList("Varores.dll;STDNAMES.GPD;UNIRES.DLL;"),
              List({"Varores.dll", "STDNAMES.GPD", "UNIRES.DLL"}));
}

TEST(FindModelFile, GivesTheFileOfTheModelsEntry) {
    EXPECT_EQ(FindModelFile("Orlent 7140:Varo31K.GPD;", "Orlent 7140"), "Varo31K.GPD");
    EXPECT_EQ(FindModelFile("Orlent 7140:Varo31K.GPD;Orlent 7150:Varo51K.GPD;", "Orlent 7150"),
              "Varo51K.GPD");
}

TEST(FindModelFile, FirstOccurrenceWinsEvenInsideALongerName) {
    EXPECT_EQ(FindModelFile("Orlent 7140 Pro:Pro.GPD;Orlent 7140:Std.GPD;", "Orlent 7140"),
              "Pro.GPD");
}

TEST(FindModelFile, UnknownOrUnclosedModelGivesTheEmptyName) {
    EXPECT_EQ(FindModelFile("Orlent 7140:Varo31K.GPD;", "Orlent 9999"), "");
    EXPECT_EQ(FindModelFile("Orlent 7140:Varo31K.GPD", "Orlent 7140"), "");
    EXPECT_EQ(FindModelFile("Orlent 7140;", "Orlent 7140"), "");
}
