// The only file that includes the spooler and setup-services headers.
#include "engine/services.h"

#include <winspool.h>
#include <setupapi.h>

namespace {

Win32Services g_win32Services;
SystemServices* g_services = &g_win32Services;

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

BOOL Win32Services::addPrinterDriver(DWORD level, BYTE* info) {
    return AddPrinterDriverA(nullptr, level, info);
}

HANDLE Win32Services::addPrinter(DWORD level, BYTE* info) {
    return AddPrinterA(nullptr, level, info);
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

// Bound to the spooler's export 202.
BOOL Win32Services::setDefaultPrinter(const char* name) {
    return SetDefaultPrinterA(name);
}

BOOL Win32Services::copyOemInf(const char* infPath, const char* sourceFolder) {
    return SetupCopyOEMInfA(infPath, sourceFolder, SPOST_PATH, 0, nullptr, 0, nullptr, nullptr);
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
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto function = kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(
                                 GetProcAddress(kernel, "GetNativeSystemInfo")))
                           : nullptr;
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
