#include "tests/support/fake_services.h"

#include <cstring>

namespace {

std::string Text(const char* text) {
    return text ? text : "";
}

// A handle value that no real printer handle has.
HANDLE FakeHandle() {
    return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0x7a11));
}

} // namespace

void FakeServices::refuse(const std::string& operation, DWORD error, int times, int after) {
    m_refusals[operation] = {error, times, after};
}

bool FakeServices::refused(const std::string& operation) {
    auto it = m_refusals.find(operation);
    if (it == m_refusals.end()) {
        return false;
    }
    if (it->second.after > 0) {
        --it->second.after;
        return false;
    }
    SetLastError(it->second.error);
    if (it->second.times > 0 && --it->second.times == 0) {
        DWORD error = it->second.error;
        m_refusals.erase(it);
        SetLastError(error);
    }
    return true;
}

int FakeServices::count(const std::string& prefix) const {
    int n = 0;
    for (const auto& call : calls) {
        n += call.rfind(prefix, 0) == 0;
    }
    return n;
}

std::vector<std::string> FakeServices::callsOf(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> picked;
    for (const auto& call : calls) {
        for (const char* prefix : prefixes) {
            if (call.rfind(prefix, 0) == 0) {
                picked.push_back(call);
                break;
            }
        }
    }
    return picked;
}

BOOL FakeServices::getPrinterDriverDirectory(const char* environment, BYTE* buffer, DWORD size,
                                             DWORD* needed) {
    calls.push_back("getPrinterDriverDirectory(" + Text(environment) + "," + std::to_string(size) +
                    ")");
    if (refused("getPrinterDriverDirectory")) {
        return FALSE;
    }
    if (!driverDirectory.empty() || fakeSpooler) {
        std::string dir = driverDirectory.empty() ? "C:\\fake\\drivers" : driverDirectory;
        *needed = static_cast<DWORD>(dir.size() + 1);
        if (size < dir.size() + 1) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memcpy(buffer, dir.c_str(), dir.size() + 1);
        return TRUE;
    }
    return Win32Services::getPrinterDriverDirectory(environment, buffer, size, needed);
}

BOOL FakeServices::addPrinterDriver(const DriverRecord& driver) {
    RecordedDriver r;
    r.level = driver.level;
    r.version = driver.version;
    r.name = Text(driver.name);
    r.environment = Text(driver.environment);
    r.driverPath = Text(driver.driverPath);
    r.dataFile = Text(driver.dataFile);
    r.configFile = Text(driver.configFile);
    r.helpFile = Text(driver.helpFile);
    r.hasHelpFile = driver.helpFile != nullptr;
    r.monitorName = Text(driver.monitorName);
    r.hasMonitor = driver.monitorName != nullptr;
    r.defaultDataType = Text(driver.defaultDataType);
    r.manufacturer = Text(driver.manufacturer);
    r.hasManufacturer = driver.manufacturer != nullptr;
    if (driver.dependentFiles) {
        r.dependentBytes.assign(driver.dependentFiles, driver.dependentFiles + 260);
        for (const char* p = driver.dependentFiles; *p; p += std::strlen(p) + 1) {
            r.dependentFiles.push_back(p);
        }
    }
    drivers.push_back(r);
    calls.push_back("addPrinterDriver(" + std::to_string(driver.level) + "," + r.name + ")");
    if (refused("addPrinterDriver")) {
        return FALSE;
    }
    return fakeSpooler ? TRUE : Win32Services::addPrinterDriver(driver);
}

HANDLE FakeServices::addPrinter(const PrinterRecord& printer) {
    RecordedPrinter r{Text(printer.printerName), Text(printer.portName),
                      Text(printer.driverName),  Text(printer.printProcessor),
                      Text(printer.datatype),    printer.attributes};
    printers.push_back(r);
    calls.push_back("addPrinter(" + r.printerName + ")");
    if (refused("addPrinter")) {
        return nullptr;
    }
    if (fakeSpooler) {
        existingPrinters.insert(r.printerName);
        return FakeHandle();
    }
    return Win32Services::addPrinter(printer);
}

BOOL FakeServices::openPrinter(const char* name, HANDLE* printer) {
    calls.push_back("openPrinter(" + Text(name) + ")");
    if (refused("openPrinter")) {
        return FALSE;
    }
    if (fakeSpooler) {
        if (existingPrinters.count(Text(name))) {
            *printer = FakeHandle();
            return TRUE;
        }
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    return Win32Services::openPrinter(name, printer);
}

BOOL FakeServices::closePrinter(HANDLE printer) {
    calls.push_back("closePrinter");
    if (refused("closePrinter")) {
        return FALSE;
    }
    if (fakeSpooler || printer == FakeHandle()) {
        return TRUE;
    }
    return Win32Services::closePrinter(printer);
}

BOOL FakeServices::enumPorts(DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                             DWORD* returned) {
    calls.push_back("enumPorts(" + std::to_string(level) + "," + std::to_string(size) + ")");
    if (refused(buffer ? "enumPorts.second" : "enumPorts.first") || refused("enumPorts")) {
        return FALSE;
    }
    return Win32Services::enumPorts(level, buffer, size, needed, returned);
}

BOOL FakeServices::setDefaultPrinter(const char* name) {
    calls.push_back("setDefaultPrinter(" + Text(name) + ")");
    if (refused("setDefaultPrinter")) {
        return FALSE;
    }
    if (fakeSpooler) {
        defaultPrinter = Text(name);
        return TRUE;
    }
    return Win32Services::setDefaultPrinter(name);
}

BOOL FakeServices::copyOemInf(const char* infPath, const char* sourceFolder) {
    calls.push_back("copyOemInf(" + Text(infPath) + "," + Text(sourceFolder) + ")");
    if (refused("copyOemInf")) {
        return FALSE;
    }
    return fakeSpooler ? TRUE : Win32Services::copyOemInf(infPath, sourceFolder);
}

BOOL FakeServices::writeProfileString(const char* section, const char* key, const char* value) {
    calls.push_back("writeProfileString(" + Text(section) + "," + Text(key) + "," + Text(value) +
                    ")");
    if (refused("writeProfileString")) {
        return FALSE;
    }
    return fakeSpooler ? TRUE : Win32Services::writeProfileString(section, key, value);
}

BOOL FakeServices::sendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    calls.push_back("sendNotifyMessage(" + std::to_string(reinterpret_cast<UINT_PTR>(window)) +
                    "," + std::to_string(message) + "," +
                    Text(reinterpret_cast<const char*>(lParam)) + ")");
    if (refused("sendNotifyMessage")) {
        return FALSE;
    }
    return fakeSpooler ? TRUE : Win32Services::sendNotifyMessage(window, message, wParam, lParam);
}

LRESULT FakeServices::sendMessageTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT flags, UINT timeout, DWORD_PTR* result) {
    calls.push_back("sendMessageTimeout(" + std::to_string(reinterpret_cast<UINT_PTR>(window)) +
                    "," + std::to_string(message) + "," +
                    Text(reinterpret_cast<const char*>(lParam)) + "," + std::to_string(flags) +
                    "," + std::to_string(timeout) + ")");
    if (refused("sendMessageTimeout")) {
        return 0;
    }
    return fakeSpooler ? 1
                       : Win32Services::sendMessageTimeout(window, message, wParam, lParam, flags,
                                                           timeout, result);
}

BOOL FakeServices::getVersionEx(OSVERSIONINFOA* info) {
    calls.push_back("getVersionEx");
    if (refused("getVersionEx")) {
        return FALSE;
    }
    return Win32Services::getVersionEx(info);
}

bool FakeServices::getNativeSystemInfo(SYSTEM_INFO* info) {
    calls.push_back("getNativeSystemInfo");
    if (refused("getNativeSystemInfo")) {
        return false;
    }
    return Win32Services::getNativeSystemInfo(info);
}

void FakeServices::getSystemInfo(SYSTEM_INFO* info) {
    calls.push_back("getSystemInfo");
    Win32Services::getSystemInfo(info);
}

BOOL FakeServices::copyFile(const char* from, const char* to, BOOL failIfExists) {
    calls.push_back("copyFile(" + Text(from) + "," + Text(to) + "," + std::to_string(failIfExists) +
                    ")");
    DWORD error = 0;
    if (copyHook && !copyHook(Text(from), Text(to), failIfExists, &error)) {
        SetLastError(error);
        return FALSE;
    }
    if (refused("copyFile")) {
        return FALSE;
    }
    return Win32Services::copyFile(from, to, failIfExists);
}

BOOL FakeServices::replaceFile(const char* from, const char* to) {
    calls.push_back("replaceFile(" + Text(from) + "," + Text(to) + ")");
    DWORD error = 0;
    if (replaceHook && !replaceHook(Text(from), Text(to), &error)) {
        SetLastError(error);
        return FALSE;
    }
    if (refused("replaceFile")) {
        return FALSE;
    }
    return Win32Services::replaceFile(from, to);
}

BOOL FakeServices::findNextFile(HANDLE search, WIN32_FIND_DATAA* entry) {
    if (refused("findNextFile")) {
        return FALSE;
    }
    return Win32Services::findNextFile(search, entry);
}

int FakeServices::messageBox(HWND owner, const char* text, const char* caption, UINT type) {
    messages.push_back({owner, Text(text), Text(caption), type});
    calls.push_back("messageBox(" + Text(text) + ")");
    // A shown box runs a message loop that leaves its own last error behind; so does this one, so
    // that code which needs an error code after a message must have saved it.
    SetLastError(ERROR_SUCCESS);
    return IDOK;
}
