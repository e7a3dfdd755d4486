#include "engine/folder_copy.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "engine/config.h"
#include "engine/file_compare.h"
#include "engine/messages.h"
#include "engine/paths.h"
#include "engine/platform.h"
#include "engine/services.h"
#include "res/strings.h"
#include "win32/handles.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

const char kTemporaryCopyPrefix[] = "~setup-copy-";
const char kTemporaryCopySuffix[] = ".partial";

std::string TemporaryCopyName() {
    // Digits by hand: the C runtime's formatting would add imports that 98 may lack.
    char digits[16];
    char* end = digits + sizeof(digits);
    char* first = end;
    DWORD id = GetCurrentProcessId();
    do {
        *--first = static_cast<char>('0' + id % 10);
        id /= 10;
    } while (id != 0);
    return kTemporaryCopyPrefix + std::string(first, end) + kTemporaryCopySuffix;
}

bool IsTemporaryCopyName(const std::string& name) {
    const size_t prefix = std::strlen(kTemporaryCopyPrefix);
    const size_t suffix = std::strlen(kTemporaryCopySuffix);
    std::string lowered = Lower(name);
    return lowered.size() > prefix + suffix &&
           lowered.compare(0, prefix, kTemporaryCopyPrefix) == 0 &&
           lowered.compare(lowered.size() - suffix, suffix, kTemporaryCopySuffix) == 0;
}

namespace {

// A driver folder holds its files and at most a level or two of folders. Linked folders are walked
// like any other, so links that lead back into the tree make it endless: each link adds a level,
// and two links in one folder double the folders of every level, which the 260-byte path would
// bound only after some 2^100 folders. So the walk gives up past bounds far above any medium.
// Depth first, a loop reaches the nesting bound within that many folders; the count ends links
// that fan out to the same folders without looping.
constexpr int kMaxNesting = 32;
constexpr int kMaxFolders = 1024;

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A copy from the medium keeps the medium's read-only attribute, which would refuse the delete.
void RemoveTemporaryCopy(const std::string& temporary) {
    SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temporary.c_str());
}

// Removes every copy in progress that lies in the folder, whichever process wrote it. Only one
// installation runs on the machine at a time (the program holds a machine-wide mutex from its
// start), and this one begins no copy before its walk, so each such file was left by a copy that
// ended before it was whole: no running copy still writes it.
void RemoveStaleTemporaryCopies(const std::string& targetFolder) {
    std::string pattern;
    if (!JoinPath(pattern, kEnginePathSize,
                  {targetFolder.c_str(), kTemporaryCopyPrefix, "*", kTemporaryCopySuffix})) {
        return;
    }
    WIN32_FIND_DATAA entry;
    CFindHandle find(NoneIfInvalid(FindFirstFileA(pattern.c_str(), &entry)));
    if (!find) {
        return;
    }
    do {
        // The pattern may also match a short name; only the long name counts.
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            IsTemporaryCopyName(entry.cFileName)) {
            RemoveTemporaryCopy(targetFolder + entry.cFileName);
        }
    } while (FindNextFileA(find.Get(), &entry));
}

// The source's bytes, whole, under this process's temporary name beside target; nothing there
// when it fails, with the copy's last error.
bool CopyToTemporary(const std::string& source, const std::string& temporary) {
    if (Services().copyFile(source.c_str(), temporary.c_str(), FALSE)) {
        return true;
    }
    DWORD error = GetLastError();
    RemoveTemporaryCopy(temporary);
    SetLastError(error);
    return false;
}

// Copies into a name that is free, through the temporary name, so that a full disk or an ended
// process never leaves a truncated driver file that a later run would keep. Fails with
// ERROR_FILE_EXISTS or ERROR_ALREADY_EXISTS when the name is taken, else with the copy's error.
bool CopyIntoFreeName(const std::string& source, const std::string& target) {
    // Asking first spares every file of a re-install a copy that the rename would only refuse.
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_FILE_EXISTS);
        return false;
    }
    std::string temporary = FolderOf(target) + TemporaryCopyName();
    if (!CopyToTemporary(source, temporary)) {
        return false;
    }
    // Renaming fails when the name was taken meanwhile, as a fail-if-exists copy would.
    if (MoveFileA(temporary.c_str(), target.c_str())) {
        return true;
    }
    DWORD error = GetLastError();
    RemoveTemporaryCopy(temporary);
    SetLastError(error);
    return false;
}

// Puts a whole copy in place of an existing file in one step. The 9x family has no replacing
// rename (MoveFileExA is a stub there): the old file goes first, and an end between the two steps
// leaves the name free, which the next run fills as a first installation would.
bool PutInPlace(const std::string& temporary, const std::string& target, bool ntFamily) {
    if (ntFamily) {
        return Services().replaceFile(temporary.c_str(), target.c_str()) != FALSE;
    }
    return DeleteFileA(target.c_str()) && MoveFileA(temporary.c_str(), target.c_str());
}

bool InUse(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// A file in use, the medium's or the installed one, is told once; the user can close what holds
// it and install again.
int TellAccessDenied(const std::string& source, const std::string& target, HWND owner,
                     DWORD error) {
    std::string text = "Copy File " + source + " To " + target + " Fail! ";
    LoadConfigString(IDS_MSG_ACCESS_DENIED, text);
    ShowMessage(owner, text, MB_ICONINFORMATION);
    SetLastError(error);
    return 0;
}

int Replace(const std::string& target, const std::string& source, HWND owner,
            CompareBuffers& buffers, bool ntFamily) {
    if (CopyIntoFreeName(source, target)) {
        return 1;
    }
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
        return InUse(error) ? TellAccessDenied(source, target, owner, error) : 0;
    }
    if (FilesAreIdentical(target, source, buffers)) {
        return 1;
    }
    std::string temporary = FolderOf(target) + TemporaryCopyName();
    if (!CopyToTemporary(source, temporary)) {
        error = GetLastError();
        return InUse(error) ? TellAccessDenied(source, target, owner, error) : 0;
    }
    if (PutInPlace(temporary, target, ntFamily)) {
        return 1;
    }
    error = GetLastError();
    if (!InUse(error)) {
        RemoveTemporaryCopy(temporary);
        SetLastError(error);
        return 0;
    }
    DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (PutInPlace(temporary, target, ntFamily)) {
        return 1;
    }
    error = GetLastError();
    RemoveTemporaryCopy(temporary);
    return TellAccessDenied(source, target, owner, error);
}

struct Walk {
    HWND owner;
    std::string targetFolder;
    std::string protectedList;  // lower case
    std::string readOnlyMarker; // lower case
    bool ntFamily = true;
    CompareBuffers buffers;
    bool failed = false;
    bool givenUp = false;
    DWORD error = 0; // the first failure's, which the walk's later calls would overwrite
    bool anyFile = false;
    int folders = 0;
};

void Fail(Walk& walk) {
    if (!walk.failed) {
        walk.error = GetLastError();
    }
    walk.failed = true;
}

void WalkFolder(Walk& walk, const std::string& folder, int nesting) {
    if (nesting > kMaxNesting || ++walk.folders > kMaxFolders) {
        SetLastError(ERROR_CANT_RESOLVE_FILENAME);
        Fail(walk);
        walk.givenUp = true;
        return;
    }
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
            WalkFolder(walk, nested, nesting + 1);
            if (walk.givenUp) {
                return;
            }
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
        if (!Replace(target, source, walk.owner, walk.buffers, walk.ntFamily)) {
            Fail(walk);
        }
    } while (Services().findNextFile(find.Get(), &entry));
    // A medium that stops being readable part-way through a folder has not been copied whole.
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        Fail(walk);
    }
}

} // namespace

int ReplaceDriverFile(const std::string& target, const std::string& source, HWND owner) {
    CompareBuffers buffers;
    return Replace(target, source, owner, buffers, IsNtFamily());
}

int CopyDriverFolder(HWND owner, const std::string& folder, const std::string& targetFolder) {
    RemoveStaleTemporaryCopies(targetFolder);
    Walk walk;
    walk.owner = owner;
    walk.targetFolder = targetFolder;
    walk.ntFamily = IsNtFamily();
    std::string protectedFiles, infName;
    LoadConfigString(IDS_PROTECTED_FILES, protectedFiles);
    LoadConfigString(IDS_INF_FILE, infName);
    walk.protectedList = Lower(protectedFiles + infName);
    std::string marker;
    LoadConfigString(IDS_DRIVER_FILE, marker);
    walk.readOnlyMarker = Lower(marker);
    WalkFolder(walk, folder, 0);
    if (!walk.anyFile && !walk.failed) {
        // Nothing could be staged: a missing or empty driver folder is no driver.
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (walk.failed) {
        SetLastError(walk.error);
        return 0;
    }
    return 1;
}
