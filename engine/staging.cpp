#include "engine/staging.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "engine/config.h"
#include "engine/messages.h"
#include "engine/paths.h"
#include "engine/platform.h"
#include "engine/services.h"
#include "engine/state.h"
#include "res/strings.h"

namespace {

// Large enough that a big driver file costs few reads, small enough to keep memory bounded.
constexpr DWORD kCompareChunk = 1024 * 1024;

// Diagnostic texts go into a scratch text that a debugger can read; never shown, never stored.
thread_local char g_traceText[1024];

void Trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(g_traceText, sizeof(g_traceText), format, args);
    va_end(args);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

HANDLE OpenForCompare(const std::string& path, DWORD share) {
    return CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

bool ReadChunk(HANDLE file, char* buffer, DWORD size) {
    DWORD done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + done, size - done, &got, nullptr) || got == 0) {
            return false;
        }
        done += got;
    }
    return true;
}

// The two pieces of a comparison. A walk keeps one pair for all its files: fresh allocations for
// every file cost more than comparing a small file.
struct CompareBuffers {
    std::unique_ptr<char[]> target{new (std::nothrow) char[kCompareChunk]};
    std::unique_ptr<char[]> source{new (std::nothrow) char[kCompareChunk]};
};

bool Identical(const std::string& target, const std::string& source, CompareBuffers& buffers) {
    HANDLE targetFile = OpenForCompare(target, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (targetFile == INVALID_HANDLE_VALUE) {
        Trace("Open DirFile:%s", target.c_str());
        return false;
    }
    Trace("the dirFileFullPath is %s!", target.c_str());
    HANDLE sourceFile = OpenForCompare(source, 0);
    if (sourceFile == INVALID_HANDLE_VALUE) {
        Trace("Open OriFile:%s", source.c_str());
        CloseHandle(targetFile);
        return false;
    }
    Trace("the srcFileFullPath is %s!", source.c_str());

    bool identical = false;
    ULONGLONG targetSize = 0, sourceSize = 0;
    if (FileLength(targetFile, targetSize) && FileLength(sourceFile, sourceSize) &&
        targetSize == sourceSize) {
        char* a = buffers.target.get();
        char* b = buffers.source.get();
        // Without buffers the files count as different, and the target is simply overwritten.
        identical = a && b;
        for (ULONGLONG left = targetSize; left > 0 && identical;) {
            DWORD chunk = static_cast<DWORD>(std::min<ULONGLONG>(left, kCompareChunk));
            identical = ReadChunk(targetFile, a, chunk) && ReadChunk(sourceFile, b, chunk) &&
                        std::equal(a, a + chunk, b);
            left -= chunk;
        }
    }
    CloseHandle(sourceFile);
    CloseHandle(targetFile);
    return identical;
}

int Replace(const std::string& target, const std::string& source, HWND owner,
            CompareBuffers& buffers) {
    SystemServices& services = Services();
    // Asking first spares every file of a re-install a copy attempt that can only fail and costs
    // about as much as opening the file once more.
    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
        services.copyFile(source.c_str(), target.c_str(), TRUE)) {
        return 1;
    }
    if (Identical(target, source, buffers)) {
        return 1;
    }
    if (services.copyFile(source.c_str(), target.c_str(), FALSE)) {
        return 1;
    }
    DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
        return 0;
    }
    DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (services.copyFile(source.c_str(), target.c_str(), FALSE)) {
        return 1;
    }
    error = GetLastError();
    std::string caption, text = "Copy File " + source + " To " + target + " Fail! ";
    LoadConfigString(IDS_MSG_CAPTION, caption);
    LoadConfigString(IDS_MSG_ACCESS_DENIED, text);
    services.messageBox(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
    SetLastError(error);
    return 0;
}

struct Walk {
    HWND owner;
    std::string targetFolder;
    std::string protectedList;  // lower case
    std::string readOnlyMarker; // lower case
    CompareBuffers buffers;
    bool failed = false;
    bool anyFile = false;
};

// Linked folders are walked like any other; a loop through one ends when the search pattern no
// longer fits its 260 bytes, which fails the walk.
void WalkFolder(Walk& walk, const std::string& folder) {
    std::string pattern;
    if (!JoinPath(pattern, kWalkPathSize, {folder.c_str(), "*.*"})) {
        walk.failed = true;
        return;
    }
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        walk.failed = true;
        return;
    }
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::string nested;
            if (!JoinPath(nested, kWalkPathSize, {folder.c_str(), name.c_str(), "\\"})) {
                walk.failed = true;
                continue;
            }
            WalkFolder(walk, nested);
            continue;
        }
        walk.anyFile = true;
        std::string target = walk.targetFolder + name;
        std::string source = folder + name;
        std::string lower = Lower(name);
        if (walk.protectedList.find(lower) != std::string::npos) {
            // Shared driver core files are never overwritten, only supplied when missing.
            Services().copyFile(source.c_str(), target.c_str(), TRUE);
            if (lower == walk.readOnlyMarker) {
                DWORD attributes = GetFileAttributesA(target.c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES) {
                    SetFileAttributesA(target.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
                }
            }
            continue;
        }
        // A failed file fails the walk, but the walk goes on so every other file is staged.
        if (!Replace(target, source, walk.owner, walk.buffers)) {
            walk.failed = true;
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

} // namespace

bool FilesAreIdentical(const std::string& target, const std::string& source) {
    CompareBuffers buffers;
    return Identical(target, source, buffers);
}

int ReplaceDriverFile(const std::string& target, const std::string& source, HWND owner) {
    CompareBuffers buffers;
    return Replace(target, source, owner, buffers);
}

int CopyDriverFolder(HWND owner, const std::string& folder, const std::string& targetFolder) {
    Walk walk;
    walk.owner = owner;
    walk.targetFolder = targetFolder;
    std::string protectedFiles, infName;
    LoadConfigString(IDS_PROTECTED_FILES, protectedFiles);
    LoadConfigString(IDS_INF_FILE, infName);
    walk.protectedList = Lower(protectedFiles + infName);
    std::string marker;
    LoadConfigString(IDS_DRIVER_FILE, marker);
    walk.readOnlyMarker = Lower(marker);
    WalkFolder(walk, folder);
    if (!walk.anyFile) {
        // Nothing could be staged: a missing or empty driver folder is no driver.
        if (!walk.failed) {
            SetLastError(ERROR_FILE_NOT_FOUND);
        }
        return 0;
    }
    return walk.failed ? 0 : 1;
}

int StageDriverFiles(int platformClass, HWND owner) {
    SystemServices& services = Services();
    auto environment = LoadConfigBuffer(SpoolerEnvironmentId(platformClass));
    auto fragment = LoadConfigBuffer(DriverFolderId(platformClass));
    auto infName = LoadConfigBuffer(IDS_INF_FILE);
    auto systemFile = LoadConfigBuffer(IDS_SYSTEM_FOLDER_FILE);
    if (!environment || !fragment || !infName || !systemFile) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }

    char directory[kEnginePathSize] = {};
    DWORD needed = 0;
    BOOL found = services.getPrinterDriverDirectory(
        environment.get(), reinterpret_cast<BYTE*>(directory), sizeof(directory), &needed);
    if (!found) {
        DWORD error = GetLastError();
        ShowConfigMessage(nullptr, IDS_MSG_NO_DRIVER_PATH, MB_ICONERROR);
        ReportProgress(20, "20%");
        SetLastError(error);
        return 0;
    }
    directory[sizeof(directory) - 1] = '\0';
    Trace("The PrinterDriverPath is : %s", directory);

    DWORD length = GetCurrentDirectoryA(0, nullptr);
    std::vector<char> current(length + 1, '\0');
    if (length == 0 || GetCurrentDirectoryA(length + 1, current.data()) >= length + 1) {
        return 0;
    }
    std::string sourceFolder, targetFolder;
    if (!JoinPath(sourceFolder, kEnginePathSize, {current.data(), fragment.get()}) ||
        !JoinPath(targetFolder, kEnginePathSize, {directory, "\\"})) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }

    if (!CopyDriverFolder(owner, sourceFolder, targetFolder)) {
        return 0;
    }

    std::string infPath;
    BOOL registered = JoinPath(infPath, kEnginePathSize, {sourceFolder.c_str(), infName.get()});
    if (registered) {
        registered = services.copyOemInf(infPath.c_str(), sourceFolder.c_str());
    } else {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    }
    if (!registered) {
        // The caller tells the setup services' codes apart; the message box must not lose it.
        DWORD error = GetLastError();
        ShowConfigMessage(nullptr, IDS_MSG_INF_COPY_FAILED, MB_ICONERROR);
        SetLastError(error);
        return 0;
    }

    std::string systemSource, systemTarget;
    if (!JoinPath(systemSource, kEnginePathSize, {sourceFolder.c_str(), systemFile.get()})) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    Trace("the srcFilePath is %s!", systemSource.c_str());
    char windows[kEnginePathSize] = {};
    UINT windowsLength = GetWindowsDirectoryA(windows, sizeof(windows));
    if (windowsLength == 0 || windowsLength >= sizeof(windows)) {
        return 0;
    }
    if (!JoinPath(systemTarget, kEnginePathSize, {windows, "\\system32\\", systemFile.get()})) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    Trace("the dirFilePath is %s!", systemTarget.c_str());
    // A medium without srclient.dll still installs.
    services.copyFile(systemSource.c_str(), systemTarget.c_str(), FALSE);

    ReportProgress(20, "20%");
    return found;
}
