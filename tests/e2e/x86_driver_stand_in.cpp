// Stands in for Windows' 64-bit spooler in the WoW64 scenarios. That spooler serves a 32-bit
// caller's AddPrinterA from the native environment; Wine's 32-bit spooler looks the driver up under
// "Windows NT x86" only. So, before the installation, a driver of the same name is registered there
// by this 32-bit program, with a placeholder file of its own that tells its record from the
// installer's. Usage: x86_driver_stand_in NAME FILE; exit code 0 once registered.
#include <windows.h>

#include <winspool.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: x86_driver_stand_in NAME FILE\n");
        return 2;
    }
    char environment[] = "Windows NT x86";
    char directory[MAX_PATH] = "";
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, environment, 1, reinterpret_cast<BYTE*>(directory),
                                    sizeof(directory), &needed)) {
        std::fprintf(stderr, "no driver directory for %s: %lu\n", environment, GetLastError());
        return 1;
    }
    std::string file = std::string(directory) + "\\" + argv[2];
    HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    const char content[] = "placeholder x86 driver standing in for the native spooler\r\n";
    DWORD written = 0;
    bool wrote = out != INVALID_HANDLE_VALUE &&
                 WriteFile(out, content, sizeof(content) - 1, &written, nullptr) &&
                 written == sizeof(content) - 1;
    if (out != INVALID_HANDLE_VALUE) {
        CloseHandle(out);
    }
    if (!wrote) {
        std::fprintf(stderr, "cannot write %s: %lu\n", file.c_str(), GetLastError());
        return 1;
    }
    DRIVER_INFO_3A driver{};
    driver.cVersion = 3;
    driver.pName = argv[1];
    driver.pEnvironment = environment;
    driver.pDriverPath = file.data();
    driver.pDataFile = file.data();
    driver.pConfigFile = file.data();
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver))) {
        std::fprintf(stderr, "AddPrinterDriverA failed: %lu\n", GetLastError());
        return 1;
    }
    return 0;
}
