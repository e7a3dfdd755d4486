// The only file that includes the spooler and setup-services headers.
#include "engine/services.h"

#include <winspool.h>
#include <setupapi.h>

#include <atomic>
#include <vector>

#include "win32/system_dll.h"

namespace {

Win32Services g_win32Services;
SystemServices* g_services = &g_win32Services;

// The spooler, from the system folder, loaded at its first use and kept. The user-interface thread
// and the worker may both load it once: that only counts the module twice. Atomic without a lock,
// which 9x could not provide.
std::atomic<HMODULE> g_winspool{nullptr};

template <class Function> Function Spooler(const char* name) {
    HMODULE module = g_winspool.load();
    if (!module) {
        module = LoadSystemDll("winspool.drv");
        g_winspool.store(module);
    }
    return LookUpFunction<Function>(module, name);
}

} // namespace

SystemServices& Services() {
    return *g_services;
}

ScopedServices::ScopedServices(SystemServices& services) : m_previous(g_services) {
    g_services = &services;
}

ScopedServices::~ScopedServices() {
    g_services = m_previous;
}

BOOL Win32Services::getPrinterDriverDirectory(const char* environment, BYTE* buffer, DWORD size,
                                              DWORD* needed) {
    auto function = Spooler<decltype(&GetPrinterDriverDirectoryA)>("GetPrinterDriverDirectoryA");
    return function ? function(nullptr, const_cast<char*>(environment), 1, buffer, size, needed)
                    : FALSE;
}

namespace {

char* Text(const char* text) {
    return const_cast<char*>(text);
}

} // namespace

BOOL Win32Services::addPrinterDriver(const DriverRecord& driver) {
    auto function = Spooler<decltype(&AddPrinterDriverA)>("AddPrinterDriverA");
    if (!function) {
        return FALSE;
    }
    if (driver.level == 6) {
        DRIVER_INFO_6A info{};
        info.cVersion = driver.version;
        info.pName = Text(driver.name);
        info.pEnvironment = Text(driver.environment);
        info.pDriverPath = Text(driver.driverPath);
        info.pDataFile = Text(driver.dataFile);
        info.pConfigFile = Text(driver.configFile);
        info.pHelpFile = Text(driver.helpFile);
        info.pDependentFiles = Text(driver.dependentFiles);
        info.pMonitorName = Text(driver.monitorName);
        info.pDefaultDataType = Text(driver.defaultDataType);
        info.pszMfgName = Text(driver.manufacturer);
        return function(nullptr, 6, reinterpret_cast<BYTE*>(&info));
    }
    DRIVER_INFO_3A info{};
    info.cVersion = driver.version;
    info.pName = Text(driver.name);
    info.pEnvironment = Text(driver.environment);
    info.pDriverPath = Text(driver.driverPath);
    info.pDataFile = Text(driver.dataFile);
    info.pConfigFile = Text(driver.configFile);
    info.pHelpFile = Text(driver.helpFile);
    info.pDependentFiles = Text(driver.dependentFiles);
    info.pMonitorName = Text(driver.monitorName);
    info.pDefaultDataType = Text(driver.defaultDataType);
    return function(nullptr, driver.level, reinterpret_cast<BYTE*>(&info));
}

HANDLE Win32Services::addPrinter(const PrinterRecord& printer) {
    auto function = Spooler<decltype(&AddPrinterA)>("AddPrinterA");
    if (!function) {
        return nullptr;
    }
    PRINTER_INFO_2A info{};
    info.pPrinterName = Text(printer.printerName);
    info.pPortName = Text(printer.portName);
    info.pDriverName = Text(printer.driverName);
    info.pPrintProcessor = Text(printer.printProcessor);
    info.pDatatype = Text(printer.datatype);
    info.Attributes = printer.attributes;
    return function(nullptr, 2, reinterpret_cast<BYTE*>(&info));
}

BOOL Win32Services::openPrinter(const char* name, HANDLE* printer) {
    auto function = Spooler<decltype(&OpenPrinterA)>("OpenPrinterA");
    return function ? function(const_cast<char*>(name), printer, nullptr) : FALSE;
}

BOOL Win32Services::closePrinter(HANDLE printer) {
    auto function = Spooler<decltype(&ClosePrinter)>("ClosePrinter");
    return function ? function(printer) : FALSE;
}

BOOL Win32Services::enumPorts(DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                              DWORD* returned) {
    auto function = Spooler<decltype(&EnumPortsA)>("EnumPortsA");
    return function ? function(nullptr, level, buffer, size, needed, returned) : FALSE;
}

bool Win32Services::printerPortAndDriver(const char* name, std::string& port, std::string& driver) {
    auto getPrinter = Spooler<decltype(&GetPrinterA)>("GetPrinterA");
    HANDLE printer = nullptr;
    if (!getPrinter || !openPrinter(name, &printer)) {
        return false;
    }
    DWORD needed = 0;
    getPrinter(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    bool read = needed && getPrinter(printer, 2, buffer.data(), needed, &needed);
    DWORD error = GetLastError();
    closePrinter(printer);
    if (!read) {
        SetLastError(error);
        return false;
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    port = info->pPortName ? info->pPortName : "";
    driver = info->pDriverName ? info->pDriverName : "";
    return true;
}

// Bound to the spooler's export 202, looked up by its name, which stays the same where the
// number might not; Windows 98 and ME lack it.
BOOL Win32Services::setDefaultPrinter(const char* name) {
    using Function = BOOL(WINAPI*)(LPCSTR);
    auto function = Spooler<Function>("SetDefaultPrinterA");
    return function ? function(name) : FALSE;
}

// Looked up in a module loaded for the call: Windows 98 need not have the setup services.
BOOL Win32Services::copyOemInf(const char* infPath, const char* sourceFolder) {
    using Function = BOOL(WINAPI*)(PCSTR, PCSTR, DWORD, DWORD, PSTR, DWORD, PDWORD, PSTR*);
    HMODULE setupapi = LoadSystemDll("setupapi.dll");
    auto function = LookUpFunction<Function>(setupapi, "SetupCopyOEMInfA");
    BOOL copied = function
                      ? function(infPath, sourceFolder, SPOST_PATH, 0, nullptr, 0, nullptr, nullptr)
                      : FALSE;
    // The caller reads the setup services' error code.
    DWORD error = GetLastError();
    if (setupapi) {
        FreeLibrary(setupapi);
    }
    SetLastError(error);
    return copied;
}

BOOL Win32Services::writeProfileString(const char* section, const char* key, const char* value) {
    return WriteProfileStringA(section, key, value);
}

BOOL Win32Services::sendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendNotifyMessageA(window, message, wParam, lParam);
}

LRESULT Win32Services::sendMessageTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT flags, UINT timeout, DWORD_PTR* result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, flags, timeout, result);
}

BOOL Win32Services::getVersionEx(OSVERSIONINFOA* info) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExA(info);
#pragma GCC diagnostic pop
}

bool Win32Services::getNativeSystemInfo(SYSTEM_INFO* info) {
    // Looked up at run time: systems before XP lack it.
    using Function = void(WINAPI*)(SYSTEM_INFO*);
    auto function =
        LookUpFunction<Function>(GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo");
    if (function == nullptr) {
        return false;
    }
    function(info);
    return true;
}

void Win32Services::getSystemInfo(SYSTEM_INFO* info) {
    GetSystemInfo(info);
}

BOOL Win32Services::copyFile(const char* from, const char* to, BOOL failIfExists) {
    return CopyFileA(from, to, failIfExists);
}

BOOL Win32Services::replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING);
}

BOOL Win32Services::findNextFile(HANDLE search, WIN32_FIND_DATAA* entry) {
    return FindNextFileA(search, entry);
}

int Win32Services::messageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}
static_assert(sizeof(PortRecord) == sizeof(PORT_INFO_1A), "port record layout");
