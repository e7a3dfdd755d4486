#include "tests/support/paths.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

std::string SourceDir() {
    return TEST_SOURCE_DIR;
}
std::string BinaryDir() {
    return TEST_BINARY_DIR;
}
std::string SampleMediumDir() {
    return SourceDir() + "\\medium";
}
std::string BuiltSetupExe() {
    return BinaryDir() + "\\Setup.exe";
}

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    char base[MAX_PATH];
    DWORD length = GetTempPathA(sizeof(base), base);
    if (length == 0 || length >= sizeof(base)) {
        throw std::runtime_error("no temp folder");
    }
    for (;;) {
        m_path = std::string(base) + "orlent-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(counter++);
        if (CreateDirectoryA(m_path.c_str(), nullptr)) {
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            throw std::runtime_error("cannot create " + m_path);
        }
    }
}

TempFolder::~TempFolder() {
    RemoveTree(m_path);
}

CurrentDirectory::CurrentDirectory(const std::string& folder) {
    char previous[MAX_PATH * 2];
    GetCurrentDirectoryA(sizeof(previous), previous);
    m_previous = previous;
    if (!SetCurrentDirectoryA(folder.c_str())) {
        throw std::runtime_error("cannot enter " + folder);
    }
}

CurrentDirectory::~CurrentDirectory() {
    SetCurrentDirectoryA(m_previous.c_str());
}

void WriteFileText(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            std::string full = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(entry.cFileName);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

void CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot read " + from);
    }
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(from + "\\" + name, to + "\\" + name);
        } else if (!CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE)) {
            FindClose(find);
            throw std::runtime_error("cannot copy " + from + "\\" + name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

std::string UnixPath(const std::string& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring wide(path.begin(), path.end());
    char* unix = toUnix ? toUnix(wide.c_str()) : nullptr;
    std::string result = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

bool RunUnix(std::string command, const std::function<bool()>& done) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (int i = 0; i < 500; ++i) {
        if (done()) {
            return true;
        }
        Sleep(10);
    }
    return false;
}
