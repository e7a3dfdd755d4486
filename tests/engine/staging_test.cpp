// Staging on real files: a copy of the sample medium as current directory and a temp folder as
// the spooler's driver directory; the fake only injects refusals and records message boxes.
#include "engine/staging.h"
#include "engine/file_compare.h"
#include "engine/folder_copy.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "engine/paths.h"
#include "engine/state.h"
#include "tests/support/fake_services.h"
#include "tests/support/paths.h"
#include "tests/support/progress_window.h"
#include "win32/handles.h"

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
        // Copies into the driver directory go to the temporary name and overwrite only that.
        std::string intoPartial = TemporaryCopyName() + ",0)";
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

struct StagingRun {
    int result = -1;
    DWORD error = 0;
};

DWORD WINAPI StageOnAThreadOfItsOwn(void* data) {
    auto* run = static_cast<StagingRun*>(data);
    run->result = StageDriverFiles(kClass, kOwner);
    run->error = GetLastError();
    return 0;
}

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
    // Windows refuses to rename over a read-only file; Wine running as root does not.
    m_services.replaceHook = [](const std::string&, const std::string& to, DWORD* error) {
        DWORD a = GetFileAttributesA(to.c_str());
        *error = ERROR_ACCESS_DENIED;
        return a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_READONLY);
    };
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(m_services.count("replaceFile(" + target(TemporaryCopyName()) + "," +
                               target("Varores.dll") + ")"),
              2)
        << "refused, then retried";
    EXPECT_EQ(ReadFileText(target("Varores.dll")), ReadFileText(source("Varores.dll")));
    EXPECT_FALSE(ReadOnly(target("Varores.dll")));
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Staging, TemporaryNamesCarryTheProcessAndWhatOthersLeftIsRemoved) {
    const std::string own = TemporaryCopyName();
    EXPECT_EQ(own, "~setup-copy-" + std::to_string(GetCurrentProcessId()) + ".partial");
    // Left by an interrupted run of this version and of the one before, read-only as copies from
    // a disc are; a file outside the family stays.
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    const char* const stale[] = {"~setup-copy-4242.partial", "~SETUP-COPY-7.PARTIAL",
                                 "~setup-copy-in-progress.partial"};
    for (const char* name : stale) {
        EXPECT_TRUE(IsTemporaryCopyName(name)) << name;
        WriteFileText(target(name), "half a file");
        SetFileAttributesA(target(name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    for (const char* name :
         {"~setup-copy-.partial", "~setup-copy-1.partial.GPD", "setup-copy-1.partial"}) {
        EXPECT_FALSE(IsTemporaryCopyName(name)) << name;
        WriteFileText(target(name), "not ours");
    }
    std::string medium = ReadFileText(source("Varores.dll"));
    WriteFileText(target("Varores.dll"), medium.substr(0, medium.size() / 2));
    ASSERT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(ReadFileText(target("Varores.dll")), medium);
    for (const char* name : stale) {
        EXPECT_FALSE(Exists(target(name))) << name;
    }
    EXPECT_EQ(ReadFileText(target("~setup-copy-1.partial.GPD")), "not ours");
    EXPECT_EQ(ReadFileText(target("setup-copy-1.partial")), "not ours");
    EXPECT_FALSE(Exists(target(own)));
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

// The 9x family has no replacing rename: the old file is deleted, then the whole copy renamed.
class Win9xServices : public FakeServices {
public:
    BOOL getVersionEx(OSVERSIONINFOA* info) override {
        FakeServices::getVersionEx(info);
        info->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
        return TRUE;
    }
};

TEST_F(Staging, On9xADifferingFileIsReplacedWholeAndOneInUseIsToldOnce) {
    Win9xServices services;
    ScopedServices scope(services);
    const std::string folder = m_medium / "Win7_XP64\\", into = m_target.path() + "\\";
    WriteFileText(target("Varores.dll"), "an older resource module");
    SetFileAttributesA(target("Varores.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteFileText(target("Varo31K.GPD"), "an older data file");
    HANDLE held = CreateFileA(target("Varo31K.GPD").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CopyDriverFolder(kOwner, folder, into), 0);
    CloseHandle(held);
    EXPECT_EQ(services.count("getVersionEx"), 1) << "the family is asked once per walk";
    EXPECT_EQ(services.count("replaceFile"), 0) << "a stub there";
    EXPECT_EQ(ReadFileText(target("Varores.dll")), ReadFileText(source("Varores.dll")));
    EXPECT_FALSE(ReadOnly(target("Varores.dll")));
    EXPECT_EQ(ReadFileText(target("Varo31K.GPD")), "an older data file");
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text,
              "Files access denied! Please exit running applications and reinstall!");
    EXPECT_FALSE(Exists(target(TemporaryCopyName())));
    EXPECT_NE(CopyDriverFolder(kOwner, folder, into), 0);
    EXPECT_EQ(ReadFileText(target("Varo31K.GPD")), ReadFileText(source("Varo31K.GPD")));
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
    std::vector<std::string> copies = m_services.callsOf({"copyFile"});
    ASSERT_FALSE(copies.empty());
    EXPECT_EQ(copies[0], "copyFile(" + failing + "," + target(TemporaryCopyName()) + ",0)")
        << "the walk meets the files in the order listed";
    EXPECT_FALSE(Exists(target(order[0])));
    EXPECT_FALSE(Exists(target(TemporaryCopyName())));
    for (size_t i = 1; i < order.size(); ++i) {
        EXPECT_EQ(ReadFileText(target(order[i])), order[i]) << "staged after the failure";
    }
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Staging, NestingPastTheBoundFailsTheWalk) {
    // A file 32 levels down is staged; one more level is deeper than any medium nests.
    std::string folder = source("");
    for (int level = 1; level <= 32; ++level) {
        folder += "d\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << level;
    }
    WriteFileText(folder + "Deep.GPD", "32 levels down");
    EXPECT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(ReadFileText(target("Deep.GPD")), "32 levels down");
    ASSERT_TRUE(CreateDirectoryA((folder + "d").c_str(), nullptr));
    m_services.calls.clear();
    EXPECT_EQ(StageDriverFiles(kClass, kOwner), 0);
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

TEST_F(Staging, LinkedFolderIsWalkedLikeAnyOther) {
    TempFolder elsewhere;
    WriteFileText(elsewhere / "Linked.GPD", "linked data");
    UnixLink linked(source("linked"), UnixPath(elsewhere.path()));
    DWORD attributes = GetFileAttributesA(source("linked").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << std::hex << attributes;
    EXPECT_NE(StageDriverFiles(kClass, kOwner), 0);
    EXPECT_EQ(ReadFileText(target("Linked.GPD")), "linked data");
}

TEST_F(Staging, MediumWhoseLinksLoopBackFailsWithinAMinute) {
    // Two links back to their own folder double the folders at every level: the path capacity
    // alone would end the walk only after some 2^100 folders.
    UnixLink a(source("a"), "."), b(source("b"), ".");
    StagingRun run;
    CThreadHandle thread(CreateThread(nullptr, 0, StageOnAThreadOfItsOwn, &run, 0, nullptr));
    ASSERT_TRUE(thread);
    if (WaitForSingleObject(thread.Get(), 60000) != WAIT_OBJECT_0) {
        // The walk cannot be stopped from outside; the process goes with it.
        std::fprintf(stderr, "FAILED: the looping medium was still walked after a minute\n");
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 1);
    }
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.error, static_cast<DWORD>(ERROR_CANT_RESOLVE_FILENAME));
    EXPECT_EQ(m_services.count("copyOemInf"), 0);
    EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(Staging, FolderThatCannotBeReadToItsEndFailsTheWalk) {
    TempFolder folder;
    for (const char* name : {"One.GPD", "Two.GPD", "Three.GPD"}) {
        WriteFileText(folder / name, name);
    }
    // Past "." and ".." and the first file.
    m_services.refuse("findNextFile", ERROR_NOT_READY, 1, 2);
    EXPECT_EQ(CopyDriverFolder(kOwner, folder.path() + "\\", m_target.path() + "\\"), 0);
    EXPECT_GE(FileNames(m_target.path()).size(), 1u) << "the entries read before the fault";
    m_services.refuse("findNextFile", ERROR_NO_MORE_FILES, 1, 2);
    EXPECT_NE(CopyDriverFolder(kOwner, folder.path() + "\\", m_target.path() + "\\"), 0)
        << "the end of a folder is no fault";
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
