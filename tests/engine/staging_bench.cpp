// Staging figures, run by hand through scripts/bench-staging.sh (not a test):
//   staging_bench prepare ROOT   builds a synthetic medium under ROOT\medium
//   staging_bench first ROOT     stages into an empty ROOT\stage and copies the same tree plainly
//                                into ROOT\copy, alternately, twice each; prints both times
//   staging_bench again ROOT     stages twice more over identical files (own process, so that its
//                                working set is its own), then reads both trees once
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/services.h"
#include "engine/folder_copy.h"
#include "engine/staging.h"
#include "tests/support/paths.h"

namespace {

constexpr int kPlatformClass = 4; // "\Win7_XP64\", "Windows x64"
constexpr int kSmallFiles = 300;
constexpr LONGLONG kBigFile = 512LL * 1024 * 1024;

// The real platform with the spooler's driver directory moved to a folder of our own.
class BenchServices : public Win32Services {
public:
    explicit BenchServices(std::string directory) : m_directory(std::move(directory)) {}
    BOOL getPrinterDriverDirectory(const char*, BYTE* buffer, DWORD size, DWORD* needed) override {
        *needed = static_cast<DWORD>(m_directory.size() + 1);
        if (size < *needed) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        CopyMemory(buffer, m_directory.c_str(), *needed);
        return TRUE;
    }

private:
    std::string m_directory;
};

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Fail(const char* what) {
    std::fprintf(stderr, "staging_bench: %s (error %lu)\n", what, GetLastError());
    std::exit(1);
}

void WriteBytes(const std::string& path, LONGLONG size, unsigned seed) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Fail(path.c_str());
    }
    std::vector<char> chunk(1 << 20);
    for (size_t i = 0; i < chunk.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        chunk[i] = static_cast<char>(seed >> 16);
    }
    for (LONGLONG left = size; left > 0;) {
        DWORD n = static_cast<DWORD>(std::min<LONGLONG>(left, chunk.size())), written = 0;
        if (!WriteFile(file, chunk.data(), n, &written, nullptr) || written != n) {
            Fail(path.c_str());
        }
        left -= n;
    }
    CloseHandle(file);
}

void WriteText(const std::string& path, const char* text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !WriteFile(file, text, static_cast<DWORD>(lstrlenA(text)), &written, nullptr)) {
        Fail(path.c_str());
    }
    CloseHandle(file);
}

// 300 files of 1 to 256 KiB spread over three levels of folders, one 512 MiB file, the
// setup-information file and srclient.dll.
void Prepare(const std::string& root) {
    std::string medium = root + "\\medium", driver = medium + "\\Win7_XP64\\";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(medium.c_str(), nullptr);
    CreateDirectoryA(driver.c_str(), nullptr);
    unsigned seed = 7140;
    for (int i = 0; i < kSmallFiles; ++i) {
        std::string folder = driver;
        for (int level = 0; level < i % 4; ++level) {
            folder += "level" + std::to_string(level) + "_" + std::to_string(i % 5) + "\\";
            CreateDirectoryA(folder.c_str(), nullptr);
        }
        seed = seed * 1103515245u + 12345u;
        LONGLONG size = 1024 + (seed >> 8) % (255 * 1024);
        WriteBytes(folder + "file" + std::to_string(i) + ".bin", size, seed);
    }
    WriteBytes(driver + "Big.GPD", kBigFile, 42);
    WriteText(driver + "Varo31K.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
                                      "ClassGUID={4d36e979-e325-11ce-bfc1-08002be10318}\r\n");
    WriteText(driver + "srclient.dll", "placeholder");
}

void EmptyFolder(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName, path = folder + "\\" + name;
            if (name == "." || name == "..") {
                continue;
            }
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                EmptyFolder(path);
                RemoveDirectoryA(path.c_str());
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
}

LONGLONG ReadTree(const std::string& folder) {
    LONGLONG total = 0;
    std::vector<char> chunk(64 * 1024);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    do {
        std::string name = entry.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..") {
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            total += ReadTree(path);
            continue;
        }
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        DWORD got = 0;
        while (file != INVALID_HANDLE_VALUE &&
               ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) &&
               got > 0) {
            total += got;
        }
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return total;
}

size_t WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize;
}

double Stage(const std::string& root) {
    BenchServices services(root + "\\stage");
    ScopedServices scope(services);
    SetCurrentDirectoryA((root + "\\medium").c_str());
    double start = Now();
    if (!StageDriverFiles(kPlatformClass, nullptr)) {
        Fail("staging");
    }
    return Now() - start;
}

void First(const std::string& root) {
    double stage = 1e9, copy = 1e9;
    for (int round = 0; round < 2; ++round) {
        EmptyFolder(root + "\\copy");
        double start = Now();
        // What a user's own copy would do: the same tree, file by file, folders kept.
        CopyTree(root + "\\medium\\Win7_XP64", root + "\\copy");
        copy = std::min(copy, Now() - start);
        EmptyFolder(root + "\\stage");
        stage = std::min(stage, Stage(root));
    }
    std::printf("first install: staging %.3f s, plain copy %.3f s, ratio staging/copy %.2f "
                "(target <= 1.2)\n",
                stage, copy, stage / copy);
}

void Again(const std::string& root) {
    size_t idle = WorkingSet();
    std::atomic<bool> running{true};
    std::atomic<size_t> peak{idle};
    std::thread sampler([&] {
        while (running) {
            size_t now = WorkingSet();
            if (now > peak) {
                peak = now;
            }
            Sleep(1);
        }
    });
    // Twice, keeping the faster: the first run in a fresh prefix also loads the setup services.
    double stage = std::min(Stage(root), Stage(root));
    running = false;
    sampler.join();
    peak = std::max<size_t>(peak, WorkingSet());

    double walk;
    {
        // The folder walk alone: the comparisons, without registration and the system-folder copy.
        double begin = Now();
        if (!CopyDriverFolder(nullptr, root + "\\medium\\Win7_XP64\\", root + "\\stage\\")) {
            Fail("walk");
        }
        walk = Now() - begin;
    }

    double start = Now();
    LONGLONG bytes = ReadTree(root + "\\medium\\Win7_XP64") + ReadTree(root + "\\stage");
    double read = Now() - start;
    std::printf("re-install over identical files: %.3f s (folder walk alone %.3f s); reading both "
                "trees once (%.0f MiB): %.3f s; ratio re-install/read %.2f, walk/read %.2f\n",
                stage, walk, static_cast<double>(bytes) / (1024 * 1024), read, stage / read,
                walk / read);
    std::printf("working set: idle %.1f MiB, peak during re-install %.1f MiB, growth %.1f MiB "
                "(target <= 8 MiB)\n",
                static_cast<double>(idle) / (1024 * 1024),
                static_cast<double>(peak) / (1024 * 1024),
                static_cast<double>(peak - idle) / (1024 * 1024));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: staging_bench prepare|first|again ROOT\n");
        return 2;
    }
    std::string mode = argv[1], root = argv[2];
    if (mode == "prepare") {
        Prepare(root);
    } else if (mode == "first") {
        First(root);
    } else if (mode == "again") {
        Again(root);
    } else {
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
