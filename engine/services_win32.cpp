// The only file that includes the spooler and setup-services headers.
#include "engine/services.h"

#include <winspool.h>
#include <setupapi.h>

namespace {

Win32Services g_win32Services;
SystemServices* g_services = &g_win32Services;

// A function that some supported systems lack; null, with ERROR_PROC_NOT_FOUND as the last
// error, when the module or the function is missing.
template <class Function> Function LookUp(HMODULE module, const char* name) {
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    if (found == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
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
    return GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1, buffer, size,
                                      needed);
}

namespace {

char* Text(const char* text) {
    return const_cast<char*>(text);
}

} // namespace

BOOL Win32Services::addPrinterDriver(const DriverRecord& driver) {
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
        return AddPrinterDriverA(nullptr, 6, reinterpret_cast<BYTE*>(&info));
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
    return AddPrinterDriverA(nullptr, driver.level, reinterpret_cast<BYTE*>(&info));
}

HANDLE Win32Services::addPrinter(const PrinterRecord& printer) {
    PRINTER_INFO_2A info{};
    info.pPrinterName = Text(printer.printerName);
    info.pPortName = Text(printer.portName);
    info.pDriverName = Text(printer.driverName);
    info.pPrintProcessor = Text(printer.printProcessor);
    info.pDatatype = Text(printer.datatype);
    info.Attributes = printer.attributes;
    return AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
}

BOOL Win32Services::openPrinter(const char* name, HANDLE* printer) {
    return OpenPrinterA(const_cast<char*>(name), printer, nullptr);
}

BOOL Win32Services::closePrinter(HANDLE printer) {
    return ClosePrinter(printer);
}

BOOL Win32Services::enumPorts(DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                              DWORD* returned) {
    return EnumPortsA(nullptr, level, buffer, size, needed, returned);
}

// Bound to the spooler's export 202, looked up by its name, which stays the same where the
// number might not; Windows 98 and ME lack it.
BOOL Win32Services::setDefaultPrinter(const char* name) {
    using Function = BOOL(WINAPI*)(LPCSTR);
    auto function = LookUp<Function>(GetModuleHandleA("winspool.drv"), "SetDefaultPrinterA");
    return function ? function(name) : FALSE;
}

// Looked up in a module loaded for the call: Windows 98 need not have the setup services.
BOOL Win32Services::copyOemInf(const char* infPath, const char* sourceFolder) {
    using Function = BOOL(WINAPI*)(PCSTR, PCSTR, DWORD, DWORD, PSTR, DWORD, PDWORD, PSTR*);
    HMODULE setupapi = LoadLibraryA("setupapi.dll");
    auto function = LookUp<Function>(setupapi, "SetupCopyOEMInfA");
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
    auto function = LookUp<Function>(GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo");
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

int Win32Services::messageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}
static_assert(sizeof(PortRecord) == sizeof(PORT_INFO_1A), "port record layout");
