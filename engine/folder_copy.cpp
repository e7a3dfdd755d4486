#include "engine/folder_copy.h"

#include <algorithm>
#include <cctype>

#include "engine/config.h"
#include "engine/file_compare.h"
#include "engine/paths.h"
#include "engine/services.h"
#include "res/strings.h"
#include "win32/handles.h"

const char kPartialCopyName[] = "~setup-copy-in-progress.partial";

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A copy from the medium keeps the medium's read-only attribute, which would refuse the delete.
void RemovePartialCopy(const std::string& partial) {
    SetFileAttributesA(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(partial.c_str());
}

// Copies into a name that is free. The bytes go to the partial copy's name first and take the
// real name only when whole, so a full disk or an ended process never leaves a truncated driver
// file that a later run would keep. Fails, with the last error, when the name is taken.
bool CopyIntoFreeName(const std::string& source, const std::string& target) {
    // Asking first spares every file of a re-install a copy that the rename would only refuse.
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_FILE_EXISTS);
        return false;
    }
    std::string partial = FolderOf(target) + kPartialCopyName;
    // Renaming fails when the name was taken meanwhile, as a fail-if-exists copy would.
    if (Services().copyFile(source.c_str(), partial.c_str(), FALSE) &&
        MoveFileA(partial.c_str(), target.c_str())) {
        return true;
    }
    DWORD error = GetLastError();
    RemovePartialCopy(partial);
    SetLastError(error);
    return false;
}

int Replace(const std::string& target, const std::string& source, HWND owner,
            CompareBuffers& buffers) {
    SystemServices& services = Services();
    if (CopyIntoFreeName(source, target)) {
        return 1;
    }
    if (FilesAreIdentical(target, source, buffers)) {
        return 1;
    }
    // An overwrite cut short leaves a file that differs from the medium's, which the next run
    // finds and replaces.
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
    DWORD error = 0; // the first failure's, which the walk's later calls would overwrite
    bool anyFile = false;
};

void Fail(Walk& walk) {
    if (!walk.failed) {
        walk.error = GetLastError();
    }
    walk.failed = true;
}

// Linked folders are walked like any other; a loop through one ends when the search pattern no
// longer fits its 260 bytes, which fails the walk.
void WalkFolder(Walk& walk, const std::string& folder) {
    std::string pattern;
    if (!JoinPath(pattern, kWalkPathSize, {folder.c_str(), "*.*"})) {
        Fail(walk);
        return;
    }
    WIN32_FIND_DATAA entry;
    CFindHandle find(NoneIfInvalid(FindFirstFileA(pattern.c_str(), &entry)));
    if (!find) {
        Fail(walk);
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
                Fail(walk);
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
            // Shared driver core files are never overwritten, only supplied when missing; one
            // still missing afterwards (a full disk) leaves no driver to register.
            if (!CopyIntoFreeName(source, target)) {
                DWORD error = GetLastError();
                if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
                    SetLastError(error);
                    Fail(walk);
                }
            }
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
            Fail(walk);
        }
    } while (FindNextFileA(find.Get(), &entry));
}

} // namespace

int ReplaceDriverFile(const std::string& target, const std::string& source, HWND owner) {
    CompareBuffers buffers;
    return Replace(target, source, owner, buffers);
}

int CopyDriverFolder(HWND owner, const std::string& folder, const std::string& targetFolder) {
    // What an interrupted run was copying is no driver file; it must not lie there for good.
    RemovePartialCopy(targetFolder + kPartialCopyName);
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
    if (walk.failed) {
        SetLastError(walk.error);
        return 0;
    }
    return 1;
}
