// Staging on real files: a copy of the sample medium as current directory and a temp folder as
// the spooler's driver directory; the fake only injects refusals and records message boxes.
#include "engine/staging.h"
#include "engine/file_compare.h"
#include "engine/folder_copy.h"

#include <gtest/gtest.h>

#include "engine/paths.h"
#include "engine/state.h"
#include "tests/support/fake_services.h"
#include "tests/support/paths.h"
#include "tests/support/progress_window.h"

namespace {

constexpr int kClass = 4; // "\Win7_XP64\"
const HWND kOwner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));

class Staging : public ::testing::Test {
protected:
    void SetUp() override {
        CopyTree(SampleMediumDir(), m_medium.path());
        m_services.driverDirectory = m_target.path();
        m_cwd = std::make_unique<CurrentDirectory>(m_medium.path());
    }

    std::string source(const std::string& name) const { return m_medium / ("Win7_XP64\\" + name); }
    std::string target(const std::string& name) const { return m_target / name; }
    static bool Exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static bool ReadOnly(const std::string& path) {
        DWORD a = GetFileAttributesA(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
    }
    int overwrites() const {
        int n = 0;
        // Copies into a free name go to the partial copy's name and overwrite only that.
        std::string intoPartial = std::string(kPartialCopyName) + ",0)";
        for (const auto& call : m_services.calls) {
            n += call.rfind("copyFile(", 0) == 0 && call.size() > intoPartial.size() &&
                 call.compare(call.size() - 3, 3, ",0)") == 0 &&
                 call.compare(call.size() - intoPartial.size(), intoPartial.size(), intoPartial) !=
                     0;
        }
        return n;
    }

    TempFolder m_medium, m_target;
    FakeServices m_services;
    ScopedServices m_scope{m_services};
    std::unique_ptr<CurrentDirectory> m_cwd;
};

// A folder whose path may pass MAX_PATH, as the file system allows.
bool CreateLongDirectory(const std::string& path) {
    std::wstring wide(L"\\\\?\\");
    for (char ch : path) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(ch));
    }
    return CreateDirectoryW(wide.c_str(), nullptr);
}

// Wine's CreateSymbolicLinkA succeeds without making anything, but Wine starts Unix programs,
// and reports a Unix link to a folder as a linked folder (FILE_ATTRIBUTE_REPARSE_POINT).
class UnixLink {
public:
    UnixLink(const std::string& link, const std::string& unixTarget) : m_link(link) {
        RunUnix("/bin/ln -s \"" + unixTarget + "\" \"" + UnixPath(link) + "\"",
                [&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
    }
    ~UnixLink() {
        RunUnix("/bin/rm \"" + UnixPath(m_link) + "\"",
                [&] { return GetFileAttributesA(m_link.c_str()) == INVALID_FILE_ATTRIBUTES; });
    }
    UnixLink(const UnixLink&) = delete;
    UnixLink& operator=(const UnixLink&) = delete;

private:
    std::string m_link;
};

const char* const kPlatformFiles[] = {
    "UNIDRV.DLL",   "UNIDRVUI.DLL", "UNIDRV.HLP",   "Varo31K.GPD",  "Varo31K.inf",  "Varores.dll",
    "STDNAMES.GPD", "UNIRES.DLL",   "STDDTYPE.GDL", "STDSCHEM.GDL", "STDSCHMX.GDL", "srclient.dll"};

} // namespace

TEST_F(Staging, FirstInstallCopiesEveryFileWithoutComparing) {
    ProgressWindow progress;
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    for (const char* name : kPlatformFiles) {
        EXPECT_EQ(ReadFileText(target(name)), ReadFileText(source(name))) << name;
    }
    EXPECT_TRUE(ReadOnly(target("UNIDRV.DLL")));
    EXPECT_FALSE(ReadOnly(target("UNIDRVUI.DLL")));
    EXPECT_EQ(overwrites(), 1) << "only the system-folder copy overwrites";
    EXPECT_TRUE(m_services.messages.empty());
    EXPECT_EQ(progress.position(), 20);
    EXPECT_EQ(progress.field(), "20%");
    EXPECT_EQ(m_services.count("copyOemInf(" + source("Varo31K.inf") + "," + m_medium.path() +
                               "\\Win7_XP64\\)"),
              1);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    EXPECT_EQ(m_services.count("copyFile(" + source("srclient.dll") + "," + windows +
                               "\\system32\\srclient.dll,0)"),
              1);
}

TEST_F(Staging, SecondInstallRewritesNothing) {
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    // Age every staged file, so that any rewrite shows.
    FILETIME old{0x2AC18000, 0x01BF53EB}; // 2000-01-01
    for (const char* name : kPlatformFiles) {
        SetFileAttributesA(target(name).c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE f = CreateFileA(target(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        SetFileTime(f, nullptr, nullptr, &old);
        CloseHandle(f);
    }
    m_services.calls.clear();
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    for (const char* name : kPlatformFiles) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(target(name).c_str(), GetFileExInfoStandard, &data);
        EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &old), 0) << name << " rewritten";
    }
    EXPECT_TRUE(ReadOnly(target("UNIDRV.DLL"))) << "the marker is set again";
    EXPECT_EQ(overwrites(), 1);
    EXPECT_EQ(m_services.count("copyFile(" + source("Varores.dll")), 0)
        << "no copy is tried over a file that is in place";
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Staging, DifferingReadOnlyTargetIsReplacedAfterClearingTheAttribute) {
    WriteFileText(target("Varores.dll"), "an older resource module");
    SetFileAttributesA(target("Varores.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    // Windows refuses to overwrite a read-only file; Wine running as root does not.
    m_services.copyHook = [](const std::string&, const std::string& to, BOOL failIfExists,
                             DWORD* error) {
        DWORD a = GetFileAttributesA(to.c_str());
        if (!failIfExists && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY)) {
            *error = ERROR_ACCESS_DENIED;
            return false;
        }
        return true;
    };
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(ReadFileText(target("Varores.dll")), ReadFileText(source("Varores.dll")));
    EXPECT_FALSE(ReadOnly(target("Varores.dll")));
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Staging, WhatAnInterruptedRunLeftIsRepaired) {
    // An overwrite cut short, and a copy into a free name cut short (read-only, as copies from a
    // disc are), in a driver directory that holds everything else: no copy reuses the name.
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    std::string medium = ReadFileText(source("Varores.dll"));
    WriteFileText(target("Varores.dll"), medium.substr(0, medium.size() / 2));
    WriteFileText(target(kPartialCopyName), "half a file");
    SetFileAttributesA(target(kPartialCopyName).c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(ReadFileText(target("Varores.dll")), medium);
    EXPECT_FALSE(Exists(target(kPartialCopyName)));
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Staging, FileHeldOpenShowsOneMessageAndFailsTheWalk) {
    WriteFileText(target("Varores.dll"), "an older resource module");
    HANDLE held = CreateFileA(target("Varores.dll").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ProgressWindow progress;
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
    CloseHandle(held);
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_EQ(m_services.messages[0].owner, kOwner);
    EXPECT_EQ(m_services.messages[0].caption, "INFO");
    EXPECT_EQ(m_services.messages[0].text,
              "Files access denied! Please exit running applications and reinstall!");
    EXPECT_EQ(m_services.messages[0].type, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(ReadFileText(target("Varores.dll")), "an older resource module");
    // The walk went on: the other files are staged all the same.
    EXPECT_TRUE(Exists(target("STDSCHMX.GDL")));
    EXPECT_TRUE(Exists(target("Varo31K.GPD")));
    EXPECT_EQ(m_services.count("copyOemInf"), 0) << "a failed walk registers nothing";
    EXPECT_EQ(progress.position(), 0);
}

TEST_F(Staging, ProtectedFilesAreNeverOverwritten) {
    WriteFileText(target("UNIRES.DLL"), "a newer shared module");
    WriteFileText(target("Varo31K.inf"), "an installed setup-information file");
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(ReadFileText(target("UNIRES.DLL")), "a newer shared module");
    EXPECT_EQ(ReadFileText(target("Varo31K.inf")), "an installed setup-information file")
        << "the setup-information file is protected as well";
}

TEST_F(Staging, ProtectionIgnoresCaseAndMatchesPartsOfItems) {
    ASSERT_TRUE(MoveFileA(source("UNIDRV.DLL").c_str(), source("Unidrv.dll").c_str()));
    WriteFileText(source("drv.dll"), "medium copy");
    WriteFileText(target("drv.dll"), "installed copy");
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(ReadFileText(target("drv.dll")), "installed copy") << "drv.dll counts as protected";
    EXPECT_TRUE(ReadOnly(target("Unidrv.dll")));
}

TEST_F(Staging, NestedFoldersLandFlatInTheDriverDirectory) {
    CreateDirectoryA(source("extra").c_str(), nullptr);
    CreateDirectoryA(source("extra\\deeper").c_str(), nullptr);
    WriteFileText(source("extra\\deeper\\Nested.GPD"), "nested data");
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(ReadFileText(target("Nested.GPD")), "nested data");
    EXPECT_FALSE(Exists(target("extra")));
}

TEST_F(Staging, MissingSystemFolderFileDoesNotFail) {
    ASSERT_TRUE(DeleteFileA(source("srclient.dll").c_str()));
    EXPECT_NE(StageDriverFiles(kClass, kOwner), 0);
}

TEST_F(Staging, MissingOrEmptyDriverFolderFails) {
    TempFolder empty;
    CurrentDirectory elsewhere(empty.path());
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
    CreateDirectoryA((empty / "Win7_XP64").c_str(), nullptr);
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_TRUE(m_services.messages.empty());
    EXPECT_EQ(m_services.count("copyOemInf"), 0);
}

TEST_F(Staging, DriverDirectoryLookupFailureIsToldThenReports20AndFails) {
    ProgressWindow progress(&m_services.calls);
    m_services.refuse("getPrinterDriverDirectory", ERROR_INVALID_ENVIRONMENT);
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(m_services.callsOf({"messageBox", "bar", "field"}),
              std::vector<std::string>(
                  {"messageBox(Can't find the current Path!)", "bar 20", "field 20%"}));
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_EQ(m_services.messages[0].owner, nullptr);
    EXPECT_EQ(m_services.messages[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(m_services.count("copyFile"), 0);
}

TEST_F(Staging, BrokenSetupInformationFileKeepsTheSetupServicesError) {
    WriteFileText(source("Varo31K.inf"), "[Version\r\nSignature=broken\r\n");
    ProgressWindow progress;
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
    DWORD error = GetLastError();
    EXPECT_EQ(error & 0xE0000000u, 0xE0000000u) << std::hex << error;
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_EQ(m_services.messages[0].owner, nullptr);
    EXPECT_EQ(m_services.messages[0].text, "Copy inf to sysinfdir fail! ");
    EXPECT_EQ(m_services.messages[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(progress.position(), 0) << "no report after a failed registration";
}

TEST_F(Staging, OverLongDriverDirectoryFailsBeforeCopyingAnything) {
    m_services.driverDirectory = "C:\\" + std::string(508, 'd'); // 511 bytes, no room for "\"
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(m_services.count("copyFile"), 0);
}

TEST_F(Staging, FailedFileFailsTheWalkWhichGoesOnWithEveryOtherFile) {
    TempFolder folder;
    for (const char* name : {"One.GPD", "Two.GPD", "Three.GPD", "Four.GPD"}) {
        WriteFileText(folder / name, name);
    }
    // The file the walk meets first fails, so that later successes could hide it.
    std::vector<std::string> order = FileNames(folder.path());
    ASSERT_EQ(order.size(), 4u);
    std::string failing = folder / order[0];
    m_services.copyHook = [failing](const std::string& from, const std::string&, BOOL,
                                    DWORD* error) {
        *error = ERROR_DISK_FULL;
        return from != failing;
    };
    EXPECT_EQ(CopyDriverFolder(kOwner, folder.path() + "\\", m_target.path() + "\\"), 0);
    ASSERT_FALSE(m_services.calls.empty());
    EXPECT_EQ(m_services.calls[0], "copyFile(" + failing + "," + target(kPartialCopyName) + ",0)")
        << "the walk meets the files in the order listed";
    EXPECT_FALSE(Exists(target(order[0])));
    EXPECT_FALSE(Exists(target(kPartialCopyName)));
    for (size_t i = 1; i < order.size(); ++i) {
        EXPECT_EQ(ReadFileText(target(order[i])), order[i]) << "staged after the failure";
    }
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Staging, DeepNestingIsWalkedUntilThePatternNoLongerFits) {
    // A file 40 levels down is staged; the folder whose search pattern would pass 259 bytes fails
    // the walk, and everything else is staged all the same.
    std::string folder = source("");
    for (int level = 1; folder.size() + 3 < kWalkPathSize; ++level) {
        folder += "d\\";
        ASSERT_TRUE(CreateLongDirectory(folder)) << folder.size();
        if (level == 40) {
            WriteFileText(folder + "Deep.GPD", "40 levels down");
        }
    }
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(ReadFileText(target("Deep.GPD")), "40 levels down");
    EXPECT_TRUE(Exists(target("Varo31K.GPD")));
    EXPECT_EQ(m_services.count("copyOemInf"), 0);
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Staging, NestedFolderWhosePatternWouldNotFitFailsTheWalk) {
    // folder + name + "\" still fits in 260 bytes, but with "*.*" the pattern does not.
    std::string base = source("");
    std::string name(258 - base.size() - 1, 'n');
    ASSERT_LE(name.size(), 255u);
    ASSERT_TRUE(CreateLongDirectory(base + name));
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_TRUE(Exists(target("Varo31K.GPD"))) << "the other files are staged all the same";
    EXPECT_EQ(m_services.count("copyOemInf"), 0);
}

TEST_F(Staging, LinkedFolderIsWalkedAndALoopFailsThroughThePathCapacity) {
    TempFolder elsewhere;
    WriteFileText(elsewhere / "Linked.GPD", "linked data");
    {
        UnixLink linked(source("linked"), UnixPath(elsewhere.path()));
        DWORD attributes = GetFileAttributesA(source("linked").c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
        ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << std::hex << attributes;
        EXPECT_NE(StageDriverFiles(kClass, kOwner), 0);
        EXPECT_EQ(ReadFileText(target("Linked.GPD")), "linked data");
    }
    const std::string name = "back-to-its-own-folder";
    UnixLink loop(source(name), ".");
    // With every copy refused, each level's files are tried afresh and show in the calls.
    for (const std::string& staged : FileNames(m_target.path())) {
        SetFileAttributesA(target(staged).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(target(staged).c_str());
    }
    m_services.copyHook = [](const std::string&, const std::string&, BOOL, DWORD* error) {
        *error = ERROR_DISK_FULL;
        return false;
    };
    m_services.calls.clear();
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
    std::string deepest = source("");
    while (deepest.size() + name.size() + 1 + 3 < kWalkPathSize) {
        deepest += name + "\\";
    }
    EXPECT_EQ(m_services.count("copyFile(" + deepest + "UNIDRV.DLL,"), 1)
        << "the loop is followed as deep as the pattern fits";
    EXPECT_EQ(m_services.count("copyOemInf"), 0);
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Staging, FolderOfProtectedFilesOnlySucceeds) {
    for (const char* name : kPlatformFiles) {
        std::string lower = name;
        for (auto& ch : lower) {
            ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        }
        // The only unprotected files: the resource module and the model's data file.
        if (lower == "varores.dll" || lower == "varo31k.gpd") {
            ASSERT_TRUE(DeleteFileA(source(name).c_str())) << name;
        }
    }
    EXPECT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_TRUE(ReadOnly(target("UNIDRV.DLL")));
}

TEST(JoinPath, RefusesWhatWouldNotFitWithItsTerminator) {
    std::string out = "unchanged";
    EXPECT_TRUE(JoinPath(out, 10, {"abcd", "efghi"}));
    EXPECT_EQ(out, "abcdefghi");
    out = "unchanged";
    EXPECT_FALSE(JoinPath(out, 10, {"abcde", "efghi"}));
    EXPECT_EQ(out, "unchanged");
}

class Comparison : public ::testing::Test {
protected:
    TempFolder m_dir;
    std::string a = m_dir / "a.bin", b = m_dir / "b.bin";
};

TEST_F(Comparison, ComparesWholeFilesAcrossChunkBoundaries) {
    std::string content(200 * 1024 + 7, 'x');
    for (size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 31);
    }
    WriteFileText(a, content);
    WriteFileText(b, content);
    EXPECT_TRUE(FilesAreIdentical(a, b));
    content.back() ^= 1;
    WriteFileText(b, content);
    EXPECT_FALSE(FilesAreIdentical(a, b));
    content.pop_back();
    WriteFileText(b, content);
    EXPECT_FALSE(FilesAreIdentical(a, b));
}

TEST_F(Comparison, LengthsThatDifferOnlyAboveFourGiBDiffer) {
    WriteFileText(a, std::string(1, '\0'));
    // Sparse: 4 GiB and one byte of zeros, the same low half of the length and the same byte.
    HANDLE big = CreateFileA(b.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = (1LL << 32) + 1;
    EXPECT_TRUE(SetFilePointerEx(big, end, nullptr, FILE_BEGIN) && SetEndOfFile(big));
    CloseHandle(big);
    EXPECT_FALSE(FilesAreIdentical(a, b));
}

TEST_F(Comparison, EmptyFilesAreIdenticalAndMissingOnesAreNot) {
    WriteFileText(a, "");
    WriteFileText(b, "");
    EXPECT_TRUE(FilesAreIdentical(a, b));
    EXPECT_FALSE(FilesAreIdentical(m_dir / "missing", b));
    EXPECT_FALSE(FilesAreIdentical(a, m_dir / "missing"));
}

TEST_F(Comparison, SourceHeldByAnotherHandleCannotBeCompared) {
    WriteFileText(a, "same");
    WriteFileText(b, "same");
    HANDLE held =
        CreateFileA(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(FilesAreIdentical(a, b)) << "the source is opened without sharing";
    CloseHandle(held);
}
