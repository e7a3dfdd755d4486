#pragma once
// A recording stand-in for the system services: every call is logged with what it was given,
// any call can be refused with a chosen last error, message boxes are recorded instead of shown,
// and everything else goes to the real platform.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/services.h"

struct RecordedDriver {
    DWORD level = 0, version = 0;
    std::string name, environment, driverPath, dataFile, configFile, helpFile, monitorName,
        defaultDataType, manufacturer;
    bool hasHelpFile = false, hasMonitor = false, hasManufacturer = false;
    std::vector<std::string> dependentFiles; // up to the empty string that ends the multi-string
    std::vector<char> dependentBytes;        // the raw 260 bytes
};

struct RecordedPrinter {
    std::string printerName, portName, driverName, printProcessor, datatype;
    DWORD attributes = 0;
};

struct RecordedMessage {
    HWND owner;
    std::string text, caption;
    UINT type;
};

class FakeServices : public Win32Services {
public:
    // Calls in order, each as "name(argument)" (see the .cpp for the exact forms).
    std::vector<std::string> calls;
    std::vector<RecordedDriver> drivers;
    std::vector<RecordedPrinter> printers;
    std::vector<RecordedMessage> messages;

    // Refuse the named operation (each method's name, e.g. "getPrinterDriverDirectory",
    // "addPrinterDriver", "openPrinter", "copyOemInf", "copyFile"; "enumPorts.first" and
    // "enumPorts.second" for one call of the pair) with this last error. A count limits
    // how many times (0: always); the first `after` calls are let through.
    void refuse(const std::string& operation, DWORD error, int times = 0, int after = 0);

    // The spooler is faked entirely (driver directory, drivers, printers, default printer, the
    // legacy profile and its broadcasts) instead of reaching Wine's: printer names in
    // existingPrinters can be opened. Otherwise every call not refused reaches the platform.
    bool fakeSpooler = false;
    std::string driverDirectory; // returned when set, even with the real spooler
    std::set<std::string> existingPrinters;
    std::string defaultPrinter;
    // Optional hook before a file copy is passed on; return false with an error to refuse it.
    std::function<bool(const std::string& from, const std::string& to, BOOL failIfExists,
                       DWORD* error)>
        copyHook;
    // The same before a replacing rename.
    std::function<bool(const std::string& from, const std::string& to, DWORD* error)> replaceHook;

    BOOL getPrinterDriverDirectory(const char* environment, BYTE* buffer, DWORD size,
                                   DWORD* needed) override;
    BOOL addPrinterDriver(const DriverRecord& driver) override;
    HANDLE addPrinter(const PrinterRecord& printer) override;
    BOOL openPrinter(const char* name, HANDLE* printer) override;
    BOOL closePrinter(HANDLE printer) override;
    BOOL enumPorts(DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) override;
    BOOL setDefaultPrinter(const char* name) override;
    BOOL copyOemInf(const char* infPath, const char* sourceFolder) override;
    BOOL writeProfileString(const char* section, const char* key, const char* value) override;
    BOOL sendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT sendMessageTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                               UINT timeout, DWORD_PTR* result) override;
    BOOL getVersionEx(OSVERSIONINFOA* info) override;
    bool getNativeSystemInfo(SYSTEM_INFO* info) override;
    void getSystemInfo(SYSTEM_INFO* info) override;
    BOOL copyFile(const char* from, const char* to, BOOL failIfExists) override;
    BOOL replaceFile(const char* from, const char* to) override;
    // Not logged (one per entry of a walk), only refused as "findNextFile".
    BOOL findNextFile(HANDLE search, WIN32_FIND_DATAA* entry) override;
    int messageBox(HWND owner, const char* text, const char* caption, UINT type) override;

    // Number of logged calls that start with prefix.
    int count(const std::string& prefix) const;
    // The logged calls (and whatever else was logged into calls) that start with one of the
    // prefixes, in order.
    std::vector<std::string> callsOf(std::initializer_list<const char*> prefixes) const;

private:
    bool refused(const std::string& operation);
    struct Refusal {
        DWORD error;
        int times;
        int after;
    };
    std::map<std::string, Refusal> m_refusals;
};
